#pragma once
// The benchmark engine: one run at a time on a worker thread, started and stopped from the host's
// thread. A run prepares the test file, runs one test or the full sequence and always cleans up.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "engine/engine_host.h"
#include "engine/engine_texts.h"
#include "engine/random_generator.h"
#include "engine/rate_table.h"
#include "engine/results_store.h"
#include "engine/run_context.h"
#include "engine/run_parameters.h"
#include "platform/clock.h"
#include "platform/storage.h"

namespace korvanel {

struct StartRequest {
  int test_id = kTestAll;     // which test: the id of the control that asked for it
  std::string drive_dir;      // the directory to make the test directory in
  int test_time_index = 1;    // 0..3: quick, short, long, very long
};

class BenchEngine {
 public:
  BenchEngine(platform::Storage& storage, platform::Clock& clock, EngineHost& host);
  // Stops a running run and waits for its cleanup.
  ~BenchEngine();
  BenchEngine(const BenchEngine&) = delete;
  BenchEngine& operator=(const BenchEngine&) = delete;

  enum class Outcome { kStarted, kStopRequested, kRejected };
  // Host thread. While a run measures or cleans up this only asks it to stop; otherwise (also once
  // the run has reported its end, while its worker still returns) it resets the results, stores the
  // test length in the settings and starts the worker. kRejected: unknown test id.
  Outcome Start(const StartRequest& request);
  // Host thread: the current measured pass is the last one; cleanup follows.
  void RequestStop();
  // Host thread: a stop that does not wait for the current pass. Its window closes now and the pass
  // is not counted (the field keeps the best of the passes measured before it); cleanup follows.
  void AbortPass();
  // Host thread: the pass timer fired; the current pass's window closes.
  void OnPassTimer();
  // Blocks until the current run, if any, has cleaned up and returned the host to idle.
  void WaitForRun();

  bool busy() const { return flags_.busy.load(); }
  bool run_exists() const { return run_exists_.load(); }
  BenchResults results() const { return results_.Copy(); }
  void ResetResults() { results_.Reset(); }
  // The test id of the last run (1 before any run) and its test length.
  int test_id() const { return test_id_.load(); }
  int test_time() const { return test_time_.load(); }
  // Measured passes of the last run that a pause spoiled and no repeat replaced; a value may then
  // be missing or rest on fewer passes, so the run cannot be compared with others.
  int passes_lost_to_pauses() const { return flags_.passes_lost_to_pauses.load(); }
  RunParameters parameters() const;
  // Replaces the ten engine texts; safe while a run reads them.
  void SetTexts(EngineTextArray texts) { texts_.Replace(std::move(texts)); }

 private:
  void Worker(int test_id, std::string drive_dir, RunParameters params);
  void RunTest(RunContext& run, const TestRates& test);
  void RunFullSequence(RunContext& run);

  platform::Storage& storage_;
  platform::Clock& clock_;
  EngineHost& host_;
  RunFlags flags_;
  ResultsStore results_;
  RandomGenerator rng_;
  EngineTexts texts_;
  mutable std::mutex params_mutex_;
  RunParameters params_;
  std::atomic<int> test_id_{1};
  std::atomic<int> test_time_{1};
  // Up from an accepted start until the worker has finished: a second start in between only stops.
  std::atomic<bool> run_exists_{false};
  // Up once the worker has cleaned up and reports the end: a start from then on is a new run.
  std::atomic<bool> run_ending_{false};
  std::thread worker_;
};

}  // namespace korvanel
