#pragma once
// Everything one run works with: the system, the host, the shared flags, the test target and the
// facilities every test shares (time window, result stores, error boxes).

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "common/aligned_buffer.h"
#include "common/sys_error.h"
#include "engine/engine_host.h"
#include "engine/engine_texts.h"
#include "engine/random_generator.h"
#include "engine/results_store.h"
#include "engine/run_parameters.h"
#include "platform/clock.h"
#include "platform/storage.h"

namespace korvanel {

// Written by one thread and polled by the other without locks.
struct RunFlags {
  std::atomic<bool> keep_running{false};  // down: stop after the current measured pass
  std::atomic<bool> busy{false};          // up from the start of preparation to the end of cleanup
  std::atomic<bool> window_open{false};   // up while the current pass's time window is open
  std::atomic<bool> pass_aborted{false};  // up: the current pass ends at once and is not counted
  std::atomic<int> passes_lost_to_pauses{0};  // paused measured passes no repeat replaced, this run
};

// The test directory, file and buffer of one run: valid from preparation to cleanup.
struct TestTarget {
  std::string drive_dir;           // the directory the user chose
  std::string dir_path;            // <drive>/Korvanel%08X, for messages
  std::string file_name;           // Korvanel%08X.tmp, inside the test directory
  std::string file_path;           // <dir_path>/<file_name>, for messages
  // The write probe has a name of its own: a scanner or sync client that opens it as it appears can
  // keep its name "delete pending" for a moment after its removal, which would refuse the test file.
  std::string probe_name;
  std::string probe_path;
  bool probe_left = false;         // its removal failed; cleanup tries again
  // Open from its creation until cleanup; null when this run made none. Cleanup removes only what
  // this run created.
  std::unique_ptr<platform::TestDirectory> dir;
  bool file_created = false;
  bool unbuffered = true;          // false on RAM disks, which are measured with ordinary I/O
  bool encrypted = false;          // the file system encrypts the test file: its writes are not queued
  uint64_t size_bytes = 0;
  uint32_t block_count = 0;        // 1 MiB blocks in the file
  uint32_t alignment = 4096;       // what unbuffered transfers need of the buffer
  AlignedBuffer buffer;            // 1 MiB, shared by every transfer
};

constexpr uint32_t kBlockBytes = 1u << 20;
constexpr uint32_t kLiveUpdateMs = 100;

class RunContext {
 public:
  RunContext(platform::Storage& storage, platform::Clock& clock, EngineHost& host, RunFlags& flags,
             ResultsStore& results, RandomGenerator& rng, const EngineTexts& texts, RunParameters params)
      : storage(storage), clock(clock), host(host), flags(flags), results(results), rng(rng),
        texts_(texts), params(std::move(params)) {}

  platform::Storage& storage;
  platform::Clock& clock;
  EngineHost& host;
  RunFlags& flags;
  ResultsStore& results;
  RandomGenerator& rng;
  const EngineTexts& texts_;
  RunParameters params;
  TestTarget target;

  bool keep_running() const { return flags.keep_running.load(); }
  bool window_open() const { return flags.window_open.load(); }
  bool pass_aborted() const { return flags.pass_aborted.load(); }
  // The engine texts as they are now; the panel may replace them between passes.
  EngineTextArray Texts() const { return *texts_.Snapshot(); }

  // Posts a pass's status line, marked when the drive is a RAM disk measured with ordinary I/O or
  // the test directory is encrypted.
  void PostPassStatus(std::string text);
  // Opens the time window of a pass and returns its start tick. After an abort the window stays shut,
  // so the pass issues nothing more (a queued pass only completes the requests it primed).
  uint32_t OpenWindow();
  // Stores a rate and has the host show it.
  void StoreAndRefresh(ResultField field, double value);
  // What a failure on the test file was doing, for the error report: "<doing> the test file <path>".
  std::string OnTestFile(const char* doing) const { return std::string(doing) + " the test file " + target.file_path; }
  // A box with `text`; lowers keep_running. `what_failed` tells the host what was being done on
  // which path ("checking the free space of /mnt/usb").
  void ErrorBox(const std::string& text, const std::string& what_failed);
  // A box with only the engine text; lowers keep_running.
  void PlainErrorBox(EngineText text, const std::string& what_failed);
  // A box with the text and the system's code and description; lowers keep_running.
  void IoErrorBox(EngineText text, const SysError& error, const std::string& what_failed);
};

}  // namespace korvanel
