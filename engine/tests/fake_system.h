#pragma once
// A system without a disk for the engine's tests: an in-memory file store, a clock that advances
// with every transfer, and a host that records what the engine tells it. The pass timer "fires"
// after a set number of transfers, so a pass's operation count and elapsed time are exact.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "engine/bench_engine.h"
#include "platform/clock.h"
#include "platform/storage.h"

namespace korvanel::testing {

// The error box text for `errno_value` as this system words it: "Read Error\r\n0x00000005:Input/output
// error" on Linux, the matching Win32 code and text on Windows.
std::string ExpectedIoError(const std::string& text, int errno_value);

struct Transfer {
  bool write;
  uint32_t bytes;
  uint64_t offset;
};

class FakeSystem : public platform::Storage, public platform::Clock, public EngineHost {
 public:
  // --- knobs, set before a run ---
  uint32_t start_tick = 1000;
  uint32_t ms_per_transfer = 1;
  // Per pass (in pass order over the run), the milliseconds each transfer takes; then ms_per_transfer.
  std::vector<uint32_t> ms_per_transfer_by_pass;
  // Transfers per pass, in pass order over the whole run; passes past the end use `default_ops`.
  std::vector<uint32_t> ops_per_pass;
  uint32_t default_ops = 20;
  uint64_t free_bytes = 1ull << 40;
  bool free_query_fails = false;
  bool ram_disk = false;
  int create_dir_error = 0;           // errno for every directory creation
  std::set<std::string> taken_dirs;   // names that exist already (someone else's)
  int remove_file_error = 0;          // errno for removing the test file (not the probe)
  int remove_dir_error = 0;           // errno for removing the test directory
  // A scanner holds every file it sees: a removed name stays "delete pending" (creating it again
  // fails) until the scanner lets go, which it has done by the time the directory is removed.
  bool deletes_stay_pending = false;
  bool encrypted = false;             // the test directory encrypts what is made in it
  bool dir_moved = false;             // someone moved the test directory away after its creation
  // The code CheckInPlace reports then (a number of our own: the systems' codes for it differ).
  static constexpr int kMovedCode = 0x74;
  // What ListDirectory finds, by directory path.
  std::map<std::string, std::vector<platform::DirectoryEntry>> listings;
  int create_file_error = 0;          // errno for the test file's creation (not the probe)
  int probe_error = 0;                // errno for the probe's creation
  int64_t fail_transfer_at = -1;      // the n-th measured transfer (0-based, over the run) fails with EIO
  int queued_setup_error = 0;
  bool queued_never_completes = false;
  int64_t stop_at_fill_offset = -1;   // a stop request when the fill reaches this offset
  uint32_t dio_alignment = 4096;       // what the file system says direct I/O needs
  // Passes (by index over the run, warm-ups included) during which the process is paused for
  // `pause_ms`: the clock jumps and PauseCount goes up, as after SIGSTOP and SIGCONT.
  std::set<int> paused_passes;
  uint32_t pause_ms = 5000;
  // Called after every transfer with its number, on the worker thread.
  std::function<void(uint64_t)> on_transfer;
  // Called with every status text as it is posted, on the worker thread.
  std::function<void(const std::string&)> on_status;

  BenchEngine* engine = nullptr;

  // --- what happened ---
  struct Message {
    std::string kind;  // "status", "notice", "error", "ended"
    std::string text;
  };
  std::vector<Message> Messages() const;
  std::vector<std::string> Statuses() const;
  std::vector<std::string> Notices() const;
  std::vector<std::string> Errors() const;
  // What failed on which path, one per error, as the engine described it beside the box.
  std::vector<std::string> ErrorDetails() const;
  std::vector<Transfer> Transfers() const;
  std::set<std::string> Files() const;
  std::set<std::string> Directories() const;
  uint64_t FileSize(const std::string& path) const;
  std::vector<BenchResults> refreshes;
  int timers_started = 0;
  int misaligned_buffers = 0;  // transfers whose buffer was not aligned to dio_alignment
  // The first 32-bit word of the buffer as the first fill write saw it, per run.
  std::vector<uint32_t> first_fill_words;
  int cancels = 0;

  // Clock
  uint32_t TickMs() override;
  uint64_t PauseCount() override;

  // Storage
  SysError FreeBytes(const std::string& dir, uint64_t* free_bytes) override;
  bool IsRamDisk(const std::string&) override { return ram_disk; }
  std::unique_ptr<platform::TestDirectory> CreateTestDirectory(const std::string& parent, const std::string& name,
                                                               SysError* error) override;
  SysError ListDirectory(const std::string& dir, std::vector<platform::DirectoryEntry>* entries) override;

  // What the test directory does, by full path.
  std::unique_ptr<platform::BlockFile> CreateFile(const std::string& path, bool unbuffered, SysError* error);
  std::unique_ptr<platform::BlockFile> OpenFile(const std::string& path, SysError* error);
  std::unique_ptr<platform::QueuedFile> OpenQueued(const std::string& path, const platform::QueuedTransfer& transfer,
                                                   SysError* error);
  SysError RemoveFile(const std::string& path);
  SysError RemoveDirectory(const std::string& path);

  // EngineHost
  void PostStatus(std::string text) override;
  void PostNotice(std::string text) override { Record("notice", std::move(text)); }
  void Refresh(const BenchResults& results) override;
  void ShowError(const std::string& text, const std::string& what_failed) override;
  void StartPassTimer(uint32_t period_ms) override;
  void PostRunEnded() override;

  // One transfer: advances the clock, counts, closes the window when the pass has had its share.
  // Returns the errno the transfer fails with, or 0.
  int DoTransfer(const std::string& path, bool write, uint32_t bytes, uint64_t offset, const void* data = nullptr);
  void Advance(uint32_t ms);

 private:
  void Record(std::string kind, std::string text);

  mutable std::mutex mutex_;
  std::vector<Message> messages_;
  std::vector<std::string> error_details_;
  std::vector<Transfer> transfers_;
  std::map<std::string, uint64_t> files_;
  std::set<std::string> pending_deletes_;
  std::set<std::string> dirs_;
  uint32_t now_ = 0;
  bool clock_started_ = false;
  int pass_index_ = -1;
  uint32_t pass_ops_ = 0;
  uint64_t measured_transfers_ = 0;
  uint64_t pauses_ = 0;
  bool run_ended_ = false;  // the next test directory belongs to a new run, whose fill comes first
};

// A test with an engine on a fake system.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest() { sys.engine = &engine; }
  FakeSystem sys;
  BenchEngine engine{sys, sys, sys};
};

// Runs one request on `system` to its end and returns the engine's results.
BenchResults RunToEnd(BenchEngine& engine, int test_id, int test_time_index = 0, const std::string& drive = "/drive");

}  // namespace korvanel::testing
