#include "engine/queued_test.h"

#include <cerrno>

#include "engine/pass_protocol.h"
#include "engine/status_texts.h"

namespace korvanel {
namespace {

// The worker wakes at least this often even when nothing completes.
constexpr uint32_t kWaitMs = 1000;

enum class PassState { kRunning, kDone, kFailed };

// One queued pass. Completions are handled on the worker thread one at a time, so the state needs
// no lock.
class QueuedPass {
 public:
  QueuedPass(RunContext& run, platform::QueuedFile& file, uint32_t block_bytes, uint32_t positions)
      : run_(run), file_(file), block_bytes_(block_bytes), positions_(positions) {}

  // Starts `depth` requests, then handles completions until every issued request has completed
  // after the window closed, or a request failed.
  void Run(uint32_t depth) {
    for (uint32_t slot = 0; slot < depth && state_ == PassState::kRunning; ++slot) StartSuccessor(slot);
    uint32_t quiet_ms = 0;
    while (state_ == PassState::kRunning) {
      uint32_t handled = 0;
      const uint32_t before = run_.clock.TickMs();
      SysError error = file_.Wait(kWaitMs, [this](const platform::Completion& c) { OnCompletion(c); }, &handled);
      if (error) Fail(error);
      if (handled > 0 || run_.window_open()) {
        quiet_ms = 0;
      } else {
        quiet_ms += run_.clock.TickMs() - before;
        // Requests that never complete must not hang the run: the drain has a limit.
        if (quiet_ms >= kQueuedDrainLimitMs) Fail(SysError::FromErrno(ETIMEDOUT));
      }
    }
  }

  PassState state() const { return state_; }
  uint32_t completed() const { return completed_; }
  const SysError& error() const { return error_; }

 private:
  void OnCompletion(const platform::Completion& completion) {
    if (completion.result < 0) {
      const SysError error = SysError::FromSystemCode(static_cast<int>(-completion.result));
      if (!error.Is(ECANCELED)) Fail(error);  // cancelled after a failure: neither counted nor replaced
      return;
    }
    if (completion.result > 0) ++completed_;
    if (state_ != PassState::kRunning) return;
    if (!run_.window_open()) {
      if (completed_ >= issued_) state_ = PassState::kDone;
      return;
    }
    StartSuccessor(completion.slot);
  }

  void StartSuccessor(uint32_t slot) {
    ++issued_;
    const uint64_t offset = static_cast<uint64_t>(run_.rng.Next() % positions_) * block_bytes_;
    SysError error = file_.Start(slot, offset);
    if (error) Fail(error);
  }

  void Fail(const SysError& error) {
    if (state_ == PassState::kFailed) return;
    error_ = error;
    state_ = PassState::kFailed;
    file_.CancelAll();
  }

  RunContext& run_;
  platform::QueuedFile& file_;
  const uint32_t block_bytes_;
  const uint32_t positions_;
  uint32_t issued_ = 0;
  uint32_t completed_ = 0;
  PassState state_ = PassState::kRunning;
  SysError error_;
};

// Runs one queued pass; its time runs from opening the window to after closing the file, so it
// includes the drain and, when writing, the flush.
bool RunQueuedPass(RunContext& run, const platform::QueuedTransfer& transfer, uint32_t positions,
                   PassMeasurement* measured) {
  const EngineText failure_text = transfer.write ? kTextWriteError : kTextReadError;
  SysError error;
  auto file = run.target.dir->OpenQueued(run.target.file_name, transfer, run.target.unbuffered, &error);
  if (!file) {
    run.IoErrorBox(kTextCreateFileError, error, run.OnTestFile("opening") + " for queued requests");
    return false;
  }
  const uint32_t start = run.OpenWindow();
  QueuedPass queued(run, *file, transfer.block_bytes, positions);
  queued.Run(transfer.depth);
  // A failed pass does not wait for its cancelled requests; Close reaps them.
  SysError close_error;
  if (transfer.write && queued.state() == PassState::kDone) close_error = file->Flush();
  SysError plain_close = file->Close();
  if (!close_error) close_error = plain_close;
  const uint32_t end = run.clock.TickMs();
  if (queued.state() != PassState::kDone || close_error) {
    const char* doing = queued.error() ? (transfer.write ? "writing" : "reading")
                                       : (transfer.write ? "flushing" : "closing");
    run.IoErrorBox(failure_text, queued.error() ? queued.error() : close_error, run.OnTestFile(doing));
    return false;
  }
  *measured = {queued.completed(), end - start};
  return true;
}

}  // namespace

void RunQueuedTest(RunContext& run, const TestRates& test) {
  const uint32_t block_bytes = test.block_bytes;
  const int block_kb = static_cast<int>(block_bytes / 1024u);
  const int depth = static_cast<int>(test.queue_depth);
  const uint32_t positions = run.target.block_count * (kBlockBytes / block_bytes);
  if (!run.keep_running()) return;
  for (bool write : {false, true}) {
    const platform::QueuedTransfer transfer{write, run.target.buffer.data(), block_bytes, test.queue_depth};
    auto status = [&run, write, block_kb, depth](int pass) {
      return QueuedStatus(run.Texts(), write, block_kb, depth, pass, run.params.pass_count);
    };
    auto pass = [&run, &transfer, positions](PassMeasurement* measured) {
      return RunQueuedPass(run, transfer, positions, measured);
    };
    if (!RunPasses(run, test.rate(write).field, block_bytes, status, pass)) return;
  }
}

}  // namespace korvanel
