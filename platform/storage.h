#pragma once
// The file operations the benchmark engine needs from the system. Every operation returns its error
// as a value; nothing here prints or shows anything.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/aligned_buffer.h"
#include "common/sys_error.h"

namespace korvanel::platform {

// One open file. Transfers are whole blocks at explicit offsets; with unbuffered access the buffer,
// the offsets and the sizes must be aligned to the storage's alignment.
class BlockFile {
 public:
  virtual ~BlockFile() = default;
  virtual SysError Read(void* buffer, uint32_t bytes, uint64_t offset) = 0;
  virtual SysError Write(const void* buffer, uint32_t bytes, uint64_t offset) = 0;
  // Makes written data durable, the drive's write cache included.
  virtual SysError Flush() = 0;
  // Closes the file; later calls do nothing and succeed.
  virtual SysError Close() = 0;
};

// What one queued file transfers: every request moves `block_bytes` between `buffer` and the file.
struct QueuedTransfer {
  bool write = false;
  void* buffer = nullptr;
  uint32_t block_bytes = 4096;
  uint32_t depth = 64;  // the most requests in flight; slots are 0 .. depth - 1
};

// A finished request: its slot and its result, the bytes moved or the negated system error code
// (SysError::FromSystemCode).
struct Completion {
  uint32_t slot = 0;
  int64_t result = 0;
};

// A file with up to `depth` requests in flight, all started and completed on the calling thread.
class QueuedFile {
 public:
  virtual ~QueuedFile() = default;
  // Hands one request for `slot` at `offset` to the system at once.
  virtual SysError Start(uint32_t slot, uint64_t offset) = 0;
  // Waits up to `timeout_ms` for completions and calls
  // `on_completion` for each, one at a time, on this thread. Sets `handled` to the number handled
  // (0 when the time ran out). Requests the caller cancelled complete with the system's code for a
  // cancelled request (SysError::Is(ECANCELED)).
  virtual SysError Wait(uint32_t timeout_ms, const std::function<void(const Completion&)>& on_completion,
                        uint32_t* handled) = 0;
  // Asks the system to cancel every request in flight.
  virtual void CancelAll() = 0;
  virtual SysError Flush() = 0;
  // Closes the file; requests still in flight are cancelled and reaped first.
  virtual SysError Close() = 0;
};

enum class AccessHint { kSequential, kRandom };

class Storage {
 public:
  virtual ~Storage() = default;

  // Bytes the user may still write on the file system that holds `dir`.
  virtual SysError FreeBytes(const std::string& dir, uint64_t* free_bytes) = 0;
  // True when `dir` lies on a file system held in memory (tmpfs, ramfs): it cannot be measured
  // unbuffered, and a cache bypass would mean nothing there anyway.
  virtual bool IsRamDisk(const std::string& dir) = 0;
  // Memory alignment that unbuffered transfers on the file system of `path` need (best asked of a
  // regular file there): at least 4096.
  virtual uint32_t DirectIoAlignment(const std::string& path) = 0;

  // A zeroed buffer for unbuffered transfers (empty when out of memory). The system may back it
  // with large pages, so that a large block reaches the drive as one request rather than being split
  // wherever its pages lie apart in memory.
  virtual AlignedBuffer NewTransferBuffer(size_t bytes, size_t alignment) { return AlignedBuffer(bytes, alignment); }

  // Creates a new directory that only the user can enter; fails with EEXIST when the name is taken.
  virtual SysError CreatePrivateDirectory(const std::string& path) = 0;
  // Prepares a directory so that files created in it later really bypass the cache (no
  // copy-on-write, no compression). Refusals are ignored.
  virtual void PrepareForDirectIo(const std::string& dir) = 0;
  // Creates a new file; never follows a link and never opens an existing file.
  virtual std::unique_ptr<BlockFile> CreateFile(const std::string& path, bool unbuffered, SysError* error) = 0;
  // Opens an existing file for reading and writing; never follows a link.
  virtual std::unique_ptr<BlockFile> OpenFile(const std::string& path, AccessHint hint, bool unbuffered,
                                              SysError* error) = 0;
  virtual std::unique_ptr<QueuedFile> OpenQueued(const std::string& path, const QueuedTransfer& transfer,
                                                 bool unbuffered, SysError* error) = 0;
  // Removal; failures are ignored because cleanup has nothing better to do with them.
  virtual void RemoveFile(const std::string& path) = 0;
  virtual void RemoveDirectory(const std::string& path) = 0;
};

// The storage of the machine Korvanel runs on.
Storage& SystemStorage();

}  // namespace korvanel::platform
