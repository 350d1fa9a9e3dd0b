#include "engine/tests/fake_system.h"

#include <cerrno>

#include "engine/status_texts.h"
#include "engine/test_names.h"

namespace korvanel::testing {

std::string ExpectedIoError(const std::string& text, int errno_value) {
  const SysError error = SysError::FromErrno(errno_value);
  return IoErrorText(text, error.code, error.description);
}

namespace {

class FakeBlockFile : public platform::BlockFile {
 public:
  FakeBlockFile(FakeSystem& system, std::string path, bool probe) : system_(system), path_(std::move(path)), probe_(probe) {}
  SysError Read(void* data, uint32_t bytes, uint64_t offset) override { return Do(false, bytes, offset, data); }
  SysError Write(const void* data, uint32_t bytes, uint64_t offset) override { return Do(true, bytes, offset, data); }
  SysError Flush() override { return {}; }
  SysError Close() override { return {}; }

 private:
  SysError Do(bool write, uint32_t bytes, uint64_t offset, const void* data) {
    if (probe_) return {};
    const int error = system_.DoTransfer(path_, write, bytes, offset, data);
    return error ? SysError::FromErrno(error) : SysError{};
  }
  FakeSystem& system_;
  std::string path_;
  bool probe_;
};

class FakeQueuedFile : public platform::QueuedFile {
 public:
  FakeQueuedFile(FakeSystem& system, std::string path, platform::QueuedTransfer transfer)
      : system_(system), path_(std::move(path)), transfer_(transfer) {}
  SysError Start(uint32_t slot, uint64_t offset) override {
    pending_.push_back({slot, offset});
    return {};
  }
  SysError Wait(uint32_t timeout_ms, const std::function<void(const platform::Completion&)>& on_completion,
                uint32_t* handled) override {
    *handled = 0;
    if (system_.queued_never_completes || pending_.empty()) {
      system_.Advance(timeout_ms);
      if (system_.engine) system_.engine->OnPassTimer();  // the window still ends on time
      return {};
    }
    auto batch = std::move(pending_);
    pending_.clear();
    for (const auto& [slot, offset] : batch) {
      const int error = system_.DoTransfer(path_, transfer_.write, transfer_.block_bytes, offset);
      ++*handled;
      const int64_t result = cancelled_ ? -SysError::FromErrno(ECANCELED).code
                           : error ? -SysError::FromErrno(error).code : static_cast<int64_t>(transfer_.block_bytes);
      on_completion({slot, result});
    }
    return {};
  }
  void CancelAll() override {
    cancelled_ = true;
    ++system_.cancels;
  }
  SysError Flush() override { return {}; }
  SysError Close() override { return {}; }

 private:
  FakeSystem& system_;
  std::string path_;
  platform::QueuedTransfer transfer_;
  std::vector<std::pair<uint32_t, uint64_t>> pending_;
  bool cancelled_ = false;
};

// Forwards to the fake system with full paths, so its bookkeeping stays by path.
class FakeTestDirectory : public platform::TestDirectory {
 public:
  FakeTestDirectory(FakeSystem& system, std::string path) : system_(system), path_(std::move(path)) {}
  std::unique_ptr<platform::BlockFile> CreateFile(const std::string& name, bool unbuffered, SysError* error) override {
    return system_.CreateFile(PathOf(name), unbuffered, error);
  }
  std::unique_ptr<platform::BlockFile> OpenFile(const std::string& name, platform::AccessHint, bool,
                                                SysError* error) override {
    return system_.OpenFile(PathOf(name), error);
  }
  std::unique_ptr<platform::QueuedFile> OpenQueued(const std::string& name, const platform::QueuedTransfer& transfer,
                                                   bool, SysError* error) override {
    return system_.OpenQueued(PathOf(name), transfer, error);
  }
  uint32_t DirectIoAlignment(const std::string&) override { return system_.dio_alignment; }
  void PrepareForDirectIo() override {}
  bool Encrypted() override { return system_.encrypted; }
  SysError RemoveFile(const std::string& name) override { return system_.RemoveFile(PathOf(name)); }
  SysError CheckInPlace() override {
    return system_.dir_moved ? SysError{FakeSystem::kMovedCode, "moved away"} : SysError{};
  }
  SysError Remove() override {
    if (SysError moved = CheckInPlace()) return moved;
    return system_.RemoveDirectory(path_);
  }

 private:
  std::string PathOf(const std::string& name) const { return path_ + "/" + name; }
  FakeSystem& system_;
  std::string path_;
};

}  // namespace

void FakeSystem::Advance(uint32_t ms) {
  std::lock_guard lock(mutex_);
  now_ += ms;
}

uint32_t FakeSystem::TickMs() {
  std::lock_guard lock(mutex_);
  if (!clock_started_) {
    now_ = start_tick;
    clock_started_ = true;
  }
  return now_;
}

uint64_t FakeSystem::PauseCount() {
  std::lock_guard lock(mutex_);
  return pauses_;
}

SysError FakeSystem::FreeBytes(const std::string&, uint64_t* free) {
  if (free_query_fails) return SysError::FromErrno(EIO);
  *free = free_bytes;
  return {};
}

std::unique_ptr<platform::TestDirectory> FakeSystem::CreateTestDirectory(const std::string& parent,
                                                                         const std::string& name, SysError* error) {
  const std::string path = PathInDrive(parent, name);
  if (create_dir_error) {
    *error = SysError::FromErrno(create_dir_error);
    return nullptr;
  }
  std::lock_guard lock(mutex_);
  if (run_ended_) {  // a new run: its fill comes before its first pass
    run_ended_ = false;
    timers_started = 0;
    pass_index_ = -1;
  }
  if (taken_dirs.count(path) || dirs_.count(path)) {
    *error = SysError::FromErrno(EEXIST);
    return nullptr;
  }
  dirs_.insert(path);
  return std::make_unique<FakeTestDirectory>(*this, path);
}

SysError FakeSystem::ListDirectory(const std::string& dir, std::vector<platform::DirectoryEntry>* entries) {
  const auto found = listings.find(dir);
  if (found == listings.end()) return SysError::FromErrno(ENOENT);
  *entries = found->second;
  return {};
}

std::unique_ptr<platform::BlockFile> FakeSystem::CreateFile(const std::string& path, bool unbuffered, SysError* error) {
  const bool probe = !unbuffered && !ram_disk;
  const int fail = probe ? probe_error : create_file_error;
  if (fail) {
    *error = SysError::FromErrno(fail);
    return nullptr;
  }
  std::lock_guard lock(mutex_);
  if (pending_deletes_.count(path)) {
    *error = SysError::FromErrno(EEXIST);
    return nullptr;
  }
  files_[path] = 0;
  return std::make_unique<FakeBlockFile>(*this, path, probe);
}

std::unique_ptr<platform::BlockFile> FakeSystem::OpenFile(const std::string& path, SysError* error) {
  std::lock_guard lock(mutex_);
  if (!files_.count(path)) {
    *error = SysError::FromErrno(ENOENT);
    return nullptr;
  }
  return std::make_unique<FakeBlockFile>(*this, path, false);
}

std::unique_ptr<platform::QueuedFile> FakeSystem::OpenQueued(const std::string& path,
                                                             const platform::QueuedTransfer& transfer,
                                                             SysError* error) {
  if (queued_setup_error) {
    *error = SysError::FromErrno(queued_setup_error);
    return nullptr;
  }
  return std::make_unique<FakeQueuedFile>(*this, path, transfer);
}

SysError FakeSystem::RemoveFile(const std::string& path) {
  std::lock_guard lock(mutex_);
  // The probe is removed at once; only the test file meets a failing removal.
  if (remove_file_error && files_[path] > 0) return SysError::FromErrno(remove_file_error);
  files_.erase(path);
  if (deletes_stay_pending) pending_deletes_.insert(path);
  return {};
}

SysError FakeSystem::RemoveDirectory(const std::string& path) {
  if (remove_dir_error) return SysError::FromErrno(remove_dir_error);
  std::lock_guard lock(mutex_);
  dirs_.erase(path);
  pending_deletes_.clear();
  return {};
}

void FakeSystem::PostRunEnded() {
  Record("ended", "");
  std::lock_guard lock(mutex_);
  run_ended_ = true;
}

void FakeSystem::PostStatus(std::string text) {
  Record("status", text);
  if (on_status) on_status(text);
}

void FakeSystem::ShowError(const std::string& text, const std::string& what_failed) {
  {
    std::lock_guard lock(mutex_);
    error_details_.push_back(what_failed);
  }
  Record("error", text);
}

void FakeSystem::Refresh(const BenchResults& results) {
  std::lock_guard lock(mutex_);
  refreshes.push_back(results);
}

void FakeSystem::StartPassTimer(uint32_t) {
  std::lock_guard lock(mutex_);
  ++timers_started;
  ++pass_index_;
  pass_ops_ = 0;
}

int FakeSystem::DoTransfer(const std::string& path, bool write, uint32_t bytes, uint64_t offset, const void* data) {
  bool close_window = false;
  uint64_t number = 0;
  int error = 0;
  {
    std::lock_guard lock(mutex_);
    if (data && reinterpret_cast<uintptr_t>(data) % dio_alignment != 0) ++misaligned_buffers;
    const size_t pass = static_cast<size_t>(pass_index_);
    now_ += pass_index_ >= 0 && pass < ms_per_transfer_by_pass.size() ? ms_per_transfer_by_pass[pass] : ms_per_transfer;
    if (timers_started == 0) {  // the fill, before any pass
      if (offset == 0 && data) first_fill_words.push_back(*static_cast<const uint32_t*>(data));
      files_[path] = std::max<uint64_t>(files_[path], offset + bytes);
      if (static_cast<int64_t>(offset) == stop_at_fill_offset && engine) engine->RequestStop();
      return 0;
    }
    if (pass_ops_ == 0 && paused_passes.count(pass_index_)) {
      now_ += pause_ms;
      ++pauses_;
    }
    number = measured_transfers_++;
    if (static_cast<int64_t>(number) == fail_transfer_at) error = EIO;
    transfers_.push_back({write, bytes, offset});
    const uint32_t wanted = pass < ops_per_pass.size() ? ops_per_pass[pass] : default_ops;
    close_window = ++pass_ops_ >= wanted;
  }
  if (close_window && engine) engine->OnPassTimer();
  if (on_transfer) on_transfer(number);
  return error;
}

void FakeSystem::Record(std::string kind, std::string text) {
  std::lock_guard lock(mutex_);
  messages_.push_back({std::move(kind), std::move(text)});
}

std::vector<FakeSystem::Message> FakeSystem::Messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

std::vector<std::string> FakeSystem::Statuses() const {
  std::vector<std::string> out;
  for (const auto& m : Messages()) if (m.kind == "status") out.push_back(m.text);
  return out;
}

std::vector<std::string> FakeSystem::Notices() const {
  std::vector<std::string> out;
  for (const auto& m : Messages()) if (m.kind == "notice") out.push_back(m.text);
  return out;
}

std::vector<std::string> FakeSystem::Errors() const {
  std::vector<std::string> out;
  for (const auto& m : Messages()) if (m.kind == "error") out.push_back(m.text);
  return out;
}

std::vector<std::string> FakeSystem::ErrorDetails() const {
  std::lock_guard lock(mutex_);
  return error_details_;
}

std::vector<Transfer> FakeSystem::Transfers() const {
  std::lock_guard lock(mutex_);
  return transfers_;
}

std::set<std::string> FakeSystem::Files() const {
  std::lock_guard lock(mutex_);
  std::set<std::string> out;
  for (const auto& [path, size] : files_) out.insert(path);
  return out;
}

std::set<std::string> FakeSystem::Directories() const {
  std::lock_guard lock(mutex_);
  return dirs_;
}

uint64_t FakeSystem::FileSize(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto it = files_.find(path);
  return it == files_.end() ? 0 : it->second;
}

BenchResults RunToEnd(BenchEngine& engine, int test_id, int test_time_index, const std::string& drive) {
  StartRequest request;
  request.test_id = test_id;
  request.drive_dir = drive;
  request.test_time_index = test_time_index;
  engine.Start(request);
  engine.WaitForRun();
  return engine.results();
}

}  // namespace korvanel::testing
