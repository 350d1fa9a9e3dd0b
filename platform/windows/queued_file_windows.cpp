#include "platform/windows/queued_file_windows.h"

#include <vector>

#include "platform/queued_reap.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

class OverlappedQueuedFile;

// One request slot: the OVERLAPPED the system fills in, and the way back to its file and number.
struct Slot {
  OVERLAPPED overlapped{};
  OverlappedQueuedFile* file = nullptr;
  uint32_t number = 0;
};

class OverlappedQueuedFile : public QueuedFile {
 public:
  OverlappedQueuedFile(UniqueHandle file, const QueuedTransfer& transfer)
      : file_(std::move(file)), transfer_(transfer), slots_(new Slot[transfer.depth]) {
    for (uint32_t i = 0; i < transfer.depth; ++i) slots_[i] = Slot{{}, this, i};
  }
  ~OverlappedQueuedFile() override { Close(); }

  SysError Start(uint32_t slot, uint64_t offset) override {
    Slot& request = slots_[slot];
    request.overlapped = OVERLAPPED{};
    request.overlapped.Offset = static_cast<DWORD>(offset);
    request.overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    // A start that succeeds may still leave a code behind (ERROR_MORE_DATA and the like): that is no
    // clean start either.
    SetLastError(ERROR_SUCCESS);
    const BOOL started =
        transfer_.write
            ? WriteFileEx(file_.get(), transfer_.buffer, transfer_.block_bytes, &request.overlapped, OnComplete)
            : ReadFileEx(file_.get(), transfer_.buffer, transfer_.block_bytes, &request.overlapped, OnComplete);
    const DWORD code = GetLastError();
    if (started) ++in_flight_;
    if (!started) return Win32Error(code != ERROR_SUCCESS ? code : ERROR_IO_DEVICE);
    if (code != ERROR_SUCCESS) return Win32Error(code);
    return {};
  }

  SysError Wait(uint32_t timeout_ms, const std::function<void(const Completion&)>& on_completion,
                uint32_t* handled) override {
    *handled = 0;
    on_completion_ = &on_completion;
    handled_ = handled;
    // Completion routines run in here, one at a time, on this thread; the wait ends after them.
    SleepEx(timeout_ms, TRUE);
    on_completion_ = nullptr;
    handled_ = nullptr;
    return {};
  }

  void CancelAll() override {
    if (file_ && in_flight_ > 0) CancelIo(file_.get());
  }

  SysError Flush() override { return FlushFileBuffers(file_.get()) ? SysError{} : LastWin32Error(); }

  SysError Close() override {
    if (!file_) return {};
    CancelAll();
    if (!ReapInFlight(*this, in_flight_)) {
      // The system still holds requests that will write into these slots when they end, and their
      // routines may yet run in a later alertable wait: the slots outlive this object, disowned.
      for (uint32_t i = 0; i < transfer_.depth; ++i) slots_[i].file = nullptr;
      slots_.release();
    }
    const DWORD error = file_.Reset();
    return error ? Win32Error(error) : SysError{};
  }

 private:
  static VOID CALLBACK OnComplete(DWORD status, DWORD bytes, LPOVERLAPPED overlapped) {
    Slot* slot = reinterpret_cast<Slot*>(overlapped);  // the OVERLAPPED is the slot's first member
    if (slot->file != nullptr) slot->file->Complete(slot->number, status, bytes);
  }

  void Complete(uint32_t slot, DWORD status, DWORD bytes) {
    --in_flight_;
    if (on_completion_ == nullptr) return;  // reaped by Close
    ++*handled_;
    const int64_t result = status == ERROR_SUCCESS ? static_cast<int64_t>(bytes) : -static_cast<int64_t>(status);
    (*on_completion_)({slot, result});
  }

  UniqueHandle file_;
  QueuedTransfer transfer_;
  std::unique_ptr<Slot[]> slots_;
  uint32_t in_flight_ = 0;
  const std::function<void(const Completion&)>* on_completion_ = nullptr;
  uint32_t* handled_ = nullptr;
};

}  // namespace

std::unique_ptr<QueuedFile> NewOverlappedQueuedFile(UniqueHandle file, const QueuedTransfer& transfer) {
  return std::make_unique<OverlappedQueuedFile>(std::move(file), transfer);
}

}  // namespace korvanel::platform
