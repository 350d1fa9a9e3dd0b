#pragma once
// The two ways Linux keeps many requests in flight: io_uring, and native AIO where io_uring is not
// allowed (kernel.io_uring_disabled, container seccomp profiles).

#include <memory>

#include "platform/linux/unique_fd.h"
#include "platform/queued_reap.h"
#include "platform/storage.h"

namespace korvanel::platform {

// Null with `error` set when io_uring cannot be set up here (EPERM, ENOSYS ...).
std::unique_ptr<QueuedFile> OpenUringQueuedFile(UniqueFd fd, const QueuedTransfer& transfer, SysError* error);
std::unique_ptr<QueuedFile> OpenAioQueuedFile(UniqueFd fd, const QueuedTransfer& transfer, SysError* error);

// Makes a queued file of type `File` and runs its Setup; null with `error` set when that fails.
template <typename File>
std::unique_ptr<QueuedFile> SetUpQueuedFile(UniqueFd fd, const QueuedTransfer& transfer, SysError* error) {
  auto file = std::make_unique<File>(std::move(fd), transfer);
  *error = file->Setup();
  if (*error) return nullptr;
  return file;
}

}  // namespace korvanel::platform
