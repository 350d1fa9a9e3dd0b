#include "engine/bench_engine.h"

#include "engine/queued_test.h"
#include "engine/rate_table.h"
#include "engine/test_target.h"
#include "engine/transfer_test.h"
#include "settings/settings.h"

namespace korvanel {

BenchEngine::BenchEngine(platform::Storage& storage, platform::Clock& clock, EngineHost& host)
    : storage_(storage), clock_(clock), host_(host) {}

BenchEngine::~BenchEngine() {
  RequestStop();
  WaitForRun();
}

// Start runs on the panel's thread, which never sleeps: it does not wait before starting; the
// previous worker is joined instead, which is all a wait could have been for.
BenchEngine::Outcome BenchEngine::Start(const StartRequest& request) {
  // A run that has reported its end is over for the host, which may have shown the end already:
  // a start now is a new run, not a stop of the old one.
  if (run_exists_.load() && !run_ending_.load()) {
    RequestStop();
    return Outcome::kStopRequested;
  }
  if (!IsTestId(request.test_id)) return Outcome::kRejected;
  if (worker_.joinable()) worker_.join();  // the previous worker has finished or only returns; reap it

  run_ending_.store(false);
  run_exists_.store(true);
  flags_.keep_running.store(true);
  flags_.pass_aborted.store(false);
  flags_.passes_lost_to_pauses.store(0);
  results_.Reset();
  RunParameters params;
  {
    std::lock_guard lock(params_mutex_);
    params_ = ParametersForTestTime(request.test_time_index, params_);
    params = params_;
  }
  test_time_.store(request.test_time_index);
  WriteSettingInt("test_time_id", request.test_time_index);
  test_id_.store(request.test_id);
  worker_ = std::thread(&BenchEngine::Worker, this, request.test_id, request.drive_dir, params);
  return Outcome::kStarted;
}

void BenchEngine::RequestStop() { flags_.keep_running.store(false); }

void BenchEngine::AbortPass() {
  flags_.keep_running.store(false);
  // Raised before the window is shut: a pass opening its window in between sees it (OpenWindow).
  flags_.pass_aborted.store(true);
  flags_.window_open.store(false);
}

void BenchEngine::OnPassTimer() { flags_.window_open.store(false); }

void BenchEngine::WaitForRun() {
  if (worker_.joinable()) worker_.join();
}

RunParameters BenchEngine::parameters() const {
  std::lock_guard lock(params_mutex_);
  return params_;
}

void BenchEngine::Worker(int test_id, std::string drive_dir, RunParameters params) {
  rng_.SeedOnce(clock_.TickMs());
  RunContext run(storage_, clock_, host_, flags_, results_, rng_, texts_, std::move(params));
  run.target.drive_dir = std::move(drive_dir);
  if (test_id == kTestAll) {
    RunFullSequence(run);
  } else {
    PrepareTestTarget(run);
    if (run.keep_running()) RunTest(run, *FindTestRates(test_id));
    CleanupTestTarget(run);
  }
  // Raised before the end is reported: the host may start the next run as soon as it hears of it.
  run_ending_.store(true);
  host_.PostRunEnded();
  run_exists_.store(false);
}

void BenchEngine::RunTest(RunContext& run, const TestRates& test) {
  switch (test.test) {
    case kTestSequential:
      RunSequentialTest(run, test);
      break;
    case kTestQueued4K:
      RunQueuedTest(run, test);
      break;
    default:  // 4 KB, 512 KB and the access time: one random block at a time
      RunRandomTest(run, test);
      break;
  }
}

void BenchEngine::RunFullSequence(RunContext& run) {
  run.host.PostStatus(run.Texts()[kTextInitialize]);
  PrepareTestTarget(run);
  for (const TestRates& test : kRateTable) {
    if (!run.keep_running()) break;
    if (!IsAccessTime(test)) RunTest(run, test);
  }
  if (run.keep_running()) {
    // The access time comes from the 4 KB rates; only a 4 KB write rate of exactly 0 needs its own test.
    const BenchResults measured = run.results.Copy();
    if (measured.RW4KB != 0) {
      run.results.Set(&BenchResults::RR, measured.RR4KB);
      run.StoreAndRefresh(&BenchResults::RW, measured.RW4KB);
    } else {
      RunTest(run, *FindTestRates(kTestAccessTime));
    }
  }
  CleanupTestTarget(run);
}

}  // namespace korvanel
