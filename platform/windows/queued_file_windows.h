#pragma once
// The queued test on Windows: overlapped requests whose completion routines run on the worker
// thread inside its alertable waits, each starting its successor.

#include <memory>

#include "platform/storage.h"
#include "platform/windows/unique_handle.h"

namespace korvanel::platform {

// `file` must have been opened with FILE_FLAG_OVERLAPPED.
std::unique_ptr<QueuedFile> NewOverlappedQueuedFile(UniqueHandle file, const QueuedTransfer& transfer);

}  // namespace korvanel::platform
