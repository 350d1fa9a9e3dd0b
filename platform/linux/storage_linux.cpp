// Files for the benchmark: O_DIRECT transfers, new files that never follow links, and the file-system
// attributes that make direct I/O real (no copy-on-write, no compression).

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/linux/dio_alignment.h"
#include "platform/linux/large_page_buffer.h"
#include "platform/linux/queued_file_linux.h"
#include "platform/linux/unique_fd.h"
#include "platform/storage.h"

namespace korvanel::platform {
namespace {

#ifndef RAMFS_MAGIC
#define RAMFS_MAGIC 0x858458f6
#endif

class LinuxBlockFile : public BlockFile {
 public:
  explicit LinuxBlockFile(UniqueFd fd) : fd_(std::move(fd)) {}

  SysError Read(void* buffer, uint32_t bytes, uint64_t offset) override {
    auto* out = static_cast<char*>(buffer);
    for (uint32_t done = 0; done < bytes;) {
      const ssize_t n = ::pread(fd_.get(), out + done, bytes - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return SysError::FromErrno(errno);
      if (n == 0) return SysError::FromErrno(EIO);  // the file ended early: it was changed under us
      done += static_cast<uint32_t>(n);
    }
    return {};
  }

  SysError Write(const void* buffer, uint32_t bytes, uint64_t offset) override {
    const auto* in = static_cast<const char*>(buffer);
    for (uint32_t done = 0; done < bytes;) {
      const ssize_t n = ::pwrite(fd_.get(), in + done, bytes - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return SysError::FromErrno(errno);
      if (n == 0) return SysError::FromErrno(ENOSPC);
      done += static_cast<uint32_t>(n);
    }
    return {};
  }

  SysError Flush() override { return ::fsync(fd_.get()) == 0 ? SysError{} : SysError::FromErrno(errno); }

  SysError Close() override {
    const int error = fd_.Reset();
    return error ? SysError::FromErrno(error) : SysError{};
  }

 private:
  UniqueFd fd_;
};

// Changes inode flags where the file system has them; refusals are expected and ignored.
void AdjustInodeFlags(int fd, int set, int clear) {
  int flags = 0;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) return;
  const int wanted = (flags | set) & ~clear;
  if (wanted != flags) ::ioctl(fd, FS_IOC_SETFLAGS, &wanted);
}

long FileSystemType(const std::string& path) {
  struct statfs info{};
  return ::statfs(path.c_str(), &info) == 0 ? static_cast<long>(info.f_type) : 0;
}

int OpenFlags(bool unbuffered) { return O_RDWR | O_NOFOLLOW | O_CLOEXEC | (unbuffered ? O_DIRECT : 0); }

class LinuxStorage : public Storage {
 public:
  SysError FreeBytes(const std::string& dir, uint64_t* free_bytes) override {
    struct statvfs info{};
    if (::statvfs(dir.c_str(), &info) != 0) return SysError::FromErrno(errno);
    *free_bytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;  // what the user may write
    return {};
  }

  bool IsRamDisk(const std::string& dir) override {
    const long type = FileSystemType(dir);
    return type == TMPFS_MAGIC || type == static_cast<long>(RAMFS_MAGIC);
  }

  uint32_t DirectIoAlignment(const std::string& path) override { return DirectIoMemoryAlignment(path); }

  SysError CreatePrivateDirectory(const std::string& path) override {
    return ::mkdir(path.c_str(), 0700) == 0 ? SysError{} : SysError::FromErrno(errno);
  }

  void PrepareForDirectIo(const std::string& dir) override {
    UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) return;
    // btrfs serves O_DIRECT on copy-on-write files from the page cache; files created in a
    // no-copy-on-write directory inherit the attribute and really bypass it.
    const int nocow = FileSystemType(dir) == BTRFS_SUPER_MAGIC ? FS_NOCOW_FL : 0;
    AdjustInodeFlags(fd.get(), nocow | FS_NOCOMP_FL, FS_COMPR_FL);
  }

  std::unique_ptr<BlockFile> CreateFile(const std::string& path, bool unbuffered, SysError* error) override {
    UniqueFd fd(::open(path.c_str(), OpenFlags(unbuffered) | O_CREAT | O_EXCL, 0600));
    if (!fd) {
      const int open_error = errno;
      // O_EXCL made the name ours if it exists now: a refused O_DIRECT may leave the file behind.
      if (open_error != EEXIST) ::unlink(path.c_str());
      *error = SysError::FromErrno(open_error);
      return nullptr;
    }
    AdjustInodeFlags(fd.get(), FS_NOCOMP_FL, FS_COMPR_FL);
    return std::make_unique<LinuxBlockFile>(std::move(fd));
  }

  std::unique_ptr<BlockFile> OpenFile(const std::string& path, AccessHint hint, bool unbuffered,
                                      SysError* error) override {
    UniqueFd fd(::open(path.c_str(), OpenFlags(unbuffered)));
    if (!fd) {
      *error = SysError::FromErrno(errno);
      return nullptr;
    }
    ::posix_fadvise(fd.get(), 0, 0, hint == AccessHint::kRandom ? POSIX_FADV_RANDOM : POSIX_FADV_SEQUENTIAL);
    return std::make_unique<LinuxBlockFile>(std::move(fd));
  }

  std::unique_ptr<QueuedFile> OpenQueued(const std::string& path, const QueuedTransfer& transfer, bool unbuffered,
                                         SysError* error) override {
    UniqueFd fd(::open(path.c_str(), OpenFlags(unbuffered)));
    if (!fd) {
      *error = SysError::FromErrno(errno);
      return nullptr;
    }
    const char* forced = std::getenv("KORVANEL_QUEUED_IO");  // "aio" tests the fallback where io_uring works
    if (!forced || std::strcmp(forced, "aio") != 0) {
      UniqueFd again(::dup(fd.get()));
      auto uring = OpenUringQueuedFile(std::move(again), transfer, error);
      if (uring) return uring;
      // Not allowed (io_uring_disabled, seccomp: EPERM), not there (ENOSYS) or out of resources:
      // native AIO measures the same way.
    }
    return OpenAioQueuedFile(std::move(fd), transfer, error);
  }

  AlignedBuffer NewTransferBuffer(size_t bytes, size_t alignment) override {
    return NewLargePageBuffer(bytes, alignment);
  }

  void RemoveFile(const std::string& path) override { ::unlink(path.c_str()); }
  void RemoveDirectory(const std::string& path) override { ::rmdir(path.c_str()); }
};

}  // namespace

Storage& SystemStorage() {
  static LinuxStorage storage;
  return storage;
}

}  // namespace korvanel::platform
