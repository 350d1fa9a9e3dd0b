#pragma once
// The two ways Linux keeps many requests in flight: io_uring, and native AIO where io_uring is not
// allowed (kernel.io_uring_disabled, container seccomp profiles).

#include <chrono>
#include <memory>

#include "platform/linux/unique_fd.h"
#include "platform/storage.h"

namespace korvanel::platform {

// Null with `error` set when io_uring cannot be set up here (EPERM, ENOSYS ...).
std::unique_ptr<QueuedFile> OpenUringQueuedFile(UniqueFd fd, const QueuedTransfer& transfer, SysError* error);
std::unique_ptr<QueuedFile> OpenAioQueuedFile(UniqueFd fd, const QueuedTransfer& transfer, SysError* error);

// How long Close waits for requests still in flight before it gives up on them.
constexpr int kReapLimitMs = 30000;

// Requests still in flight use the caller's buffer: waits, within the limit, until none is left,
// dropping their results. `in_flight` is the file's own count, which its Wait keeps up to date.
inline void ReapInFlight(QueuedFile& file, const uint32_t& in_flight) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReapLimitMs);
  while (in_flight > 0 && std::chrono::steady_clock::now() < deadline) {
    uint32_t handled = 0;
    if (file.Wait(100, [](const Completion&) {}, &handled)) break;
  }
}

// Makes a queued file of type `File` and runs its Setup; null with `error` set when that fails.
template <typename File>
std::unique_ptr<QueuedFile> SetUpQueuedFile(UniqueFd fd, const QueuedTransfer& transfer, SysError* error) {
  auto file = std::make_unique<File>(std::move(fd), transfer);
  *error = file->Setup();
  if (*error) return nullptr;
  return file;
}

}  // namespace korvanel::platform
