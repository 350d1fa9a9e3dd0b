// Linux native AIO, for systems where io_uring is switched off. Like the io_uring version, each
// request is handed to the kernel as it starts.

#include <libaio.h>

#include <cerrno>
#include <vector>

#include "platform/linux/queued_file_linux.h"

namespace korvanel::platform {
namespace {

class AioQueuedFile : public QueuedFile {
 public:
  AioQueuedFile(UniqueFd fd, const QueuedTransfer& transfer)
      : fd_(std::move(fd)), transfer_(transfer), requests_(transfer.depth), events_(transfer.depth) {}
  ~AioQueuedFile() override { Close(); }

  SysError Setup() {
    const int result = io_setup(static_cast<int>(transfer_.depth), &context_);
    if (result < 0) return SysError::FromErrno(-result);
    context_open_ = true;
    return {};
  }

  SysError Start(uint32_t slot, uint64_t offset) override {
    iocb& request = requests_[slot];
    if (transfer_.write) {
      io_prep_pwrite(&request, fd_.get(), transfer_.buffer, transfer_.block_bytes, static_cast<long long>(offset));
    } else {
      io_prep_pread(&request, fd_.get(), transfer_.buffer, transfer_.block_bytes, static_cast<long long>(offset));
    }
    request.data = reinterpret_cast<void*>(static_cast<uintptr_t>(slot));
    iocb* one[] = {&request};
    int result;
    do {
      result = io_submit(context_, 1, one);
    } while (result == -EAGAIN || result == -EINTR);
    if (result < 0) return SysError::FromErrno(-result);
    ++in_flight_;
    return {};
  }

  SysError Wait(uint32_t timeout_ms, const std::function<void(const Completion&)>& on_completion,
                uint32_t* handled) override {
    *handled = 0;
    timespec timeout{timeout_ms / 1000, static_cast<long>(timeout_ms % 1000) * 1000000};
    const int count = io_getevents(context_, 1, static_cast<long>(events_.size()), events_.data(), &timeout);
    if (count < 0 && count != -EINTR) return SysError::FromErrno(-count);
    for (int i = 0; i < count; ++i) {
      --in_flight_;
      const auto slot = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(events_[i].data));
      const auto result = static_cast<long>(events_[i].res);  // bytes, or a negative errno
      if (result == -EAGAIN || result == -EINTR) {  // not a failure: the request goes again
        if (SysError error = Start(slot, static_cast<uint64_t>(requests_[slot].u.c.offset))) return error;
        continue;
      }
      ++*handled;
      on_completion({slot, result});
    }
    return {};
  }

  // Submitted requests can rarely be cancelled: they finish on their own and Close reaps them.
  void CancelAll() override {}

  SysError Flush() override { return ::fsync(fd_.get()) == 0 ? SysError{} : SysError::FromErrno(errno); }

  SysError Close() override {
    if (context_open_) {
      ReapInFlight(*this, in_flight_);
      io_destroy(context_);
      context_open_ = false;
    }
    const int error = fd_.Reset();
    return error ? SysError::FromErrno(error) : SysError{};
  }

 private:
  UniqueFd fd_;
  QueuedTransfer transfer_;
  std::vector<iocb> requests_;
  std::vector<io_event> events_;
  io_context_t context_{};
  bool context_open_ = false;
  uint32_t in_flight_ = 0;
};

}  // namespace

std::unique_ptr<QueuedFile> OpenAioQueuedFile(UniqueFd fd, const QueuedTransfer& transfer, SysError* error) {
  return SetUpQueuedFile<AioQueuedFile>(std::move(fd), transfer, error);
}

}  // namespace korvanel::platform
