#include "engine/transfer_test.h"

#include <functional>

#include "engine/pass_protocol.h"
#include "engine/rate.h"
#include "engine/status_texts.h"

namespace korvanel {
namespace {

// What one direction of a synchronous test does; the pass protocol around it is shared.
struct Direction {
  bool write = false;
  uint32_t block_bytes = 0;
  platform::AccessHint hint = platform::AccessHint::kSequential;
  ResultField field = nullptr;
  std::function<std::string(int pass)> status;
  // Called at the start of each pass, then once per request for the request's offset.
  std::function<void()> start_pass;
  std::function<uint64_t()> next_offset;
};

// A failed write still flushes what it can, so the file can be closed and deleted cleanly.
void CloseAfterFailure(platform::BlockFile& file, bool write) {
  if (write) file.Flush();
  file.Close();
}

// Closes the file at the end of a pass; a write pass flushes first, inside the measured time.
SysError CloseAfterPass(platform::BlockFile& file, bool write) {
  SysError error;
  if (write) error = file.Flush();
  SysError close_error = file.Close();
  return error ? error : close_error;
}

// Runs one pass: requests one after the other until the window closes.
bool RunPass(RunContext& run, const Direction& dir, PassMeasurement* measured) {
  SysError error;
  auto file = run.target.dir->OpenFile(run.target.file_name, dir.hint, run.target.unbuffered, &error);
  if (!file) {
    run.IoErrorBox(kTextCreateFileError, error, run.OnTestFile("opening"));
    return false;
  }
  const EngineText failure_text = dir.write ? kTextWriteError : kTextReadError;
  uint8_t* buffer = run.target.buffer.data();
  dir.start_pass();
  const uint32_t start = run.OpenWindow();
  uint32_t last_update = start;
  uint32_t count = 0;
  while (run.window_open()) {
    const uint64_t offset = dir.next_offset();
    error = dir.write ? file->Write(buffer, dir.block_bytes, offset) : file->Read(buffer, dir.block_bytes, offset);
    if (error) {
      CloseAfterFailure(*file, dir.write);
      run.IoErrorBox(failure_text, error, run.OnTestFile(dir.write ? "writing" : "reading"));
      return false;
    }
    ++count;
    if (!run.window_open()) break;
    const uint32_t tick = run.clock.TickMs();
    if (tick - last_update > kLiveUpdateMs) {
      last_update = tick;
      run.StoreAndRefresh(dir.field, Rate(dir.block_bytes, count, tick - start));
    }
  }
  error = CloseAfterPass(*file, dir.write);
  const uint32_t end = run.clock.TickMs();
  if (error) {
    // A flush that fails means the data never reached the drive: the pass measured nothing real.
    run.IoErrorBox(failure_text, error, run.OnTestFile(dir.write ? "flushing" : "closing"));
    return false;
  }
  *measured = {count, end - start};
  return true;
}

bool RunDirection(RunContext& run, const Direction& dir) {
  return RunPasses(run, dir.field, dir.block_bytes, dir.status,
                   [&run, &dir](PassMeasurement* measured) { return RunPass(run, dir, measured); });
}

}  // namespace

void RunSequentialTest(RunContext& run, const TestRates& test) {
  if (!run.keep_running()) return;
  const uint32_t block_bytes = test.block_bytes;
  const uint32_t block_count = run.target.block_count * (kBlockBytes / block_bytes);
  uint32_t block = 0;
  for (bool write : {false, true}) {
    Direction dir;
    dir.write = write;
    dir.block_bytes = block_bytes;
    dir.hint = platform::AccessHint::kSequential;
    dir.field = test.rate(write).field;
    dir.status = [&run, write](int pass) {
      return SequentialStatus(run.Texts(), write, pass, run.params.pass_count);
    };
    dir.start_pass = [&block] { block = 0; };
    // Reads the file from its start to its end and starts again while the window is open.
    dir.next_offset = [&block, block_count, block_bytes] {
      const uint64_t offset = static_cast<uint64_t>(block) * block_bytes;
      block = block + 1 == block_count ? 0 : block + 1;
      return offset;
    };
    if (!RunDirection(run, dir)) return;
  }
}

void RunRandomTest(RunContext& run, const TestRates& test) {
  const uint32_t block_bytes = test.block_bytes;
  const int block_kb = static_cast<int>(block_bytes / 1024u);
  // Every position lies wholly inside the file: block k covers [k, k + 1) * block_bytes.
  const uint32_t positions = run.target.block_count * (kBlockBytes / block_bytes);
  if (!run.keep_running()) return;
  for (bool write : {false, true}) {
    Direction dir;
    dir.write = write;
    dir.block_bytes = block_bytes;
    dir.hint = platform::AccessHint::kRandom;
    dir.field = test.rate(write).field;
    dir.status = [&run, write, block_kb](int pass) {
      return RandomStatus(run.Texts(), write, block_kb, pass, run.params.pass_count);
    };
    dir.start_pass = [] {};
    dir.next_offset = [&run, positions, block_bytes] {
      return static_cast<uint64_t>(run.rng.Next() % positions) * block_bytes;
    };
    if (!RunDirection(run, dir)) return;
  }
}

}  // namespace korvanel
