// io_uring: each request is handed to the kernel as it starts; completions are reaped one at a time
// on the calling thread.

#include <liburing.h>

#include <cerrno>
#include <vector>

#include "platform/linux/queued_file_linux.h"

namespace korvanel::platform {
namespace {

// Marks the completion of a cancel request, which is not a transfer.
constexpr uint64_t kCancelTag = ~0ull;

class UringQueuedFile : public QueuedFile {
 public:
  UringQueuedFile(UniqueFd fd, const QueuedTransfer& transfer)
      : fd_(std::move(fd)), transfer_(transfer), offsets_(transfer.depth, 0) {}
  ~UringQueuedFile() override { Close(); }

  SysError Setup() {
    // Twice the depth leaves room for a cancel request beside a full queue.
    const unsigned entries = transfer_.depth * 2;
    int result = io_uring_queue_init(entries, &ring_, IORING_SETUP_SINGLE_ISSUER | IORING_SETUP_COOP_TASKRUN);
    if (result == -EINVAL) result = io_uring_queue_init(entries, &ring_, 0);  // older kernels
    if (result < 0) return SysError::FromErrno(-result);
    ring_open_ = true;
    return {};
  }

  SysError Start(uint32_t slot, uint64_t offset) override {
    io_uring_sqe* sqe = NextSqe();
    if (!sqe) return SysError::FromErrno(EBUSY);
    offsets_[slot] = offset;
    if (transfer_.write) {
      io_uring_prep_write(sqe, fd_.get(), transfer_.buffer, transfer_.block_bytes, offset);
    } else {
      io_uring_prep_read(sqe, fd_.get(), transfer_.buffer, transfer_.block_bytes, offset);
    }
    io_uring_sqe_set_data64(sqe, slot);
    // Handed over at once, not with the next wait: a successor then reaches the drive while the
    // rest of a batch of completions is still being handled, which keeps the queue full.
    const int submitted = io_uring_submit(&ring_);
    if (submitted < 0) return SysError::FromErrno(-submitted);
    ++in_flight_;
    return {};
  }

  SysError Wait(uint32_t timeout_ms, const std::function<void(const Completion&)>& on_completion,
                uint32_t* handled) override {
    *handled = 0;
    __kernel_timespec timeout{timeout_ms / 1000, static_cast<long long>(timeout_ms % 1000) * 1000000};
    io_uring_cqe* cqe = nullptr;
    int result = io_uring_submit_and_wait_timeout(&ring_, &cqe, 1, &timeout, nullptr);
    if (result < 0 && result != -ETIME && result != -EINTR) return SysError::FromErrno(-result);
    // Handle what has arrived, one completion at a time.
    while (io_uring_peek_cqe(&ring_, &cqe) == 0) {
      const uint64_t tag = io_uring_cqe_get_data64(cqe);
      const int res = cqe->res;
      io_uring_cqe_seen(&ring_, cqe);
      if (tag == kCancelTag) continue;
      --in_flight_;
      const auto slot = static_cast<uint32_t>(tag);
      if (res == -EAGAIN || res == -EINTR) {  // not a failure: the request goes again
        SysError error = Start(slot, offsets_[slot]);
        if (error) return error;
        continue;
      }
      ++*handled;
      on_completion({slot, res});
    }
    return {};
  }

  void CancelAll() override {
    if (!ring_open_ || in_flight_ == 0) return;
    io_uring_sqe* sqe = NextSqe();
    if (!sqe) return;
    io_uring_prep_cancel_fd(sqe, fd_.get(), IORING_ASYNC_CANCEL_ALL);
    io_uring_sqe_set_data64(sqe, kCancelTag);
    io_uring_submit(&ring_);
  }

  SysError Flush() override {
    return ::fsync(fd_.get()) == 0 ? SysError{} : SysError::FromErrno(errno);
  }

  SysError Close() override {
    if (ring_open_) {
      CancelAll();
      ReapInFlight(*this, in_flight_);
      io_uring_queue_exit(&ring_);
      ring_open_ = false;
    }
    const int error = fd_.Reset();
    return error ? SysError::FromErrno(error) : SysError{};
  }

 private:
  io_uring_sqe* NextSqe() {
    io_uring_sqe* sqe = io_uring_get_sqe(&ring_);
    if (!sqe) {
      io_uring_submit(&ring_);  // the submission ring is full: hand it over first
      sqe = io_uring_get_sqe(&ring_);
    }
    return sqe;
  }

  UniqueFd fd_;
  QueuedTransfer transfer_;
  std::vector<uint64_t> offsets_;
  io_uring ring_{};
  bool ring_open_ = false;
  uint32_t in_flight_ = 0;
};

}  // namespace

std::unique_ptr<QueuedFile> OpenUringQueuedFile(UniqueFd fd, const QueuedTransfer& transfer, SysError* error) {
  return SetUpQueuedFile<UringQueuedFile>(std::move(fd), transfer, error);
}

}  // namespace korvanel::platform
