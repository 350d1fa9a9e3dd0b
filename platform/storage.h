#pragma once
// The file operations the benchmark engine needs from the system. Every operation returns its error
// as a value; nothing here prints or shows anything.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

// One entry of a directory, as the entry itself is (a link is not followed).
struct DirectoryEntry {
  enum class Kind { kDirectory, kRegularFile, kOther };
  std::string name;
  Kind kind = Kind::kOther;
  uint64_t size_bytes = 0;  // regular files only
};

// The directory one run makes on the drive, open from its creation until the object goes. Its
// files are created, opened and removed by name relative to the directory itself, so renaming the
// directory or putting a link in its place cannot send them anywhere else.
class TestDirectory {
 public:
  // Closes the directory; removes nothing.
  virtual ~TestDirectory() = default;
  // Creates a new file; never follows a link and never opens an existing file.
  virtual std::unique_ptr<BlockFile> CreateFile(const std::string& name, bool unbuffered, SysError* error) = 0;
  // Opens an existing file for reading and writing; never follows a link.
  virtual std::unique_ptr<BlockFile> OpenFile(const std::string& name, AccessHint hint, bool unbuffered,
                                              SysError* error) = 0;
  virtual std::unique_ptr<QueuedFile> OpenQueued(const std::string& name, const QueuedTransfer& transfer,
                                                 bool unbuffered, SysError* error) = 0;
  // Memory alignment that unbuffered transfers on this file system need, asked of the file `name`
  // (directories usually don't say): at least 4096.
  virtual uint32_t DirectIoAlignment(const std::string& name) = 0;
  // Prepares the directory so that files created in it later really bypass the cache (no
  // copy-on-write, no compression). Refusals are ignored.
  virtual void PrepareForDirectIo() = 0;
  // Whether the file system encrypts what is made in the directory (Windows' EFS). Windows then
  // carries out overlapped writes one at a time, so the queued test's writes are not queued.
  virtual bool Encrypted() { return false; }
  virtual SysError RemoveFile(const std::string& name) = 0;
  // An error when the directory no longer lies where it was made (someone moved it or put something
  // else in its place); the description says so, and where it is now when that can be told.
  virtual SysError CheckInPlace() = 0;
  // Removes the directory, which must be empty, from where it was made; refused (CheckInPlace's
  // error) when it is no longer there.
  virtual SysError Remove() = 0;
};

class Storage {
 public:
  virtual ~Storage() = default;

  // Bytes the user may still write on the file system that holds `dir`; kNoSizeLimit for a file
  // system that sets none (ramfs, tmpfs mounted with size=0).
  virtual SysError FreeBytes(const std::string& dir, uint64_t* free_bytes) = 0;
  static constexpr uint64_t kNoSizeLimit = UINT64_MAX;
  // True when `dir` lies on a file system held in memory (tmpfs, ramfs): it cannot be measured
  // unbuffered, and a cache bypass would mean nothing there anyway.
  virtual bool IsRamDisk(const std::string& dir) = 0;

  // A zeroed buffer for unbuffered transfers (empty when out of memory). The system may back it
  // with large pages, so that a large block reaches the drive as one request rather than being split
  // wherever its pages lie apart in memory.
  virtual AlignedBuffer NewTransferBuffer(size_t bytes, size_t alignment) { return AlignedBuffer(bytes, alignment); }

  // Creates the new directory `name` in `parent`, which only the user can enter, and opens it; fails
  // with EEXIST when the name is taken (an existing directory is never used).
  virtual std::unique_ptr<TestDirectory> CreateTestDirectory(const std::string& parent, const std::string& name,
                                                             SysError* error) = 0;
  // The entries of `dir`, without "." and "..".
  virtual SysError ListDirectory(const std::string& dir, std::vector<DirectoryEntry>* entries) = 0;
};

// The storage of the machine Korvanel runs on.
Storage& SystemStorage();

}  // namespace korvanel::platform
