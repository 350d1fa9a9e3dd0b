#pragma once
// The two ways Linux keeps many requests in flight: io_uring, and native AIO where io_uring is not
// allowed (kernel.io_uring_disabled, container seccomp profiles).

#include <memory>

#include "platform/linux/unique_fd.h"
#include "platform/storage.h"

namespace korvanel::platform {

// Null with `error` set when io_uring cannot be set up here (EPERM, ENOSYS ...).
std::unique_ptr<QueuedFile> OpenUringQueuedFile(UniqueFd fd, const QueuedTransfer& transfer, SysError* error);
std::unique_ptr<QueuedFile> OpenAioQueuedFile(UniqueFd fd, const QueuedTransfer& transfer, SysError* error);

// How long Close waits for requests still in flight before it gives up on them.
constexpr int kReapLimitMs = 30000;

}  // namespace korvanel::platform
