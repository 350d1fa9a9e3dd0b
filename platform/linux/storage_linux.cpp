// Files for the benchmark: O_DIRECT transfers, new files that never follow links, and the file-system
// attributes that make direct I/O real (no copy-on-write, no compression).

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
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

long FileSystemType(int fd) {
  struct statfs info{};
  return ::fstatfs(fd, &info) == 0 ? static_cast<long>(info.f_type) : 0;
}

int OpenFlags(bool unbuffered) { return O_RDWR | O_NOFOLLOW | O_CLOEXEC | (unbuffered ? O_DIRECT : 0); }

SysError LastError() { return SysError::FromErrno(errno); }

// Where an open descriptor's file lies now, as the kernel tells it; empty when it cannot.
std::string CurrentPath(int fd) {
  char path[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = ::readlink(link.c_str(), path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

class LinuxTestDirectory : public TestDirectory {
 public:
  LinuxTestDirectory(UniqueFd parent, UniqueFd directory, std::string name, const struct stat& identity)
      : parent_(std::move(parent)), directory_(std::move(directory)), name_(std::move(name)), identity_(identity) {}

  std::unique_ptr<BlockFile> CreateFile(const std::string& name, bool unbuffered, SysError* error) override {
    UniqueFd fd(::openat(directory_.get(), name.c_str(), OpenFlags(unbuffered) | O_CREAT | O_EXCL, 0600));
    if (!fd) {
      const int open_error = errno;
      // O_EXCL made the name ours if it exists now: a refused O_DIRECT may leave the file behind.
      if (open_error != EEXIST) ::unlinkat(directory_.get(), name.c_str(), 0);
      *error = SysError::FromErrno(open_error);
      return nullptr;
    }
    AdjustInodeFlags(fd.get(), FS_NOCOMP_FL, FS_COMPR_FL);
    return std::make_unique<LinuxBlockFile>(std::move(fd));
  }

  std::unique_ptr<BlockFile> OpenFile(const std::string& name, AccessHint hint, bool unbuffered,
                                      SysError* error) override {
    UniqueFd fd = Open(name, unbuffered, error);
    if (!fd) return nullptr;
    ::posix_fadvise(fd.get(), 0, 0, hint == AccessHint::kRandom ? POSIX_FADV_RANDOM : POSIX_FADV_SEQUENTIAL);
    return std::make_unique<LinuxBlockFile>(std::move(fd));
  }

  std::unique_ptr<QueuedFile> OpenQueued(const std::string& name, const QueuedTransfer& transfer, bool unbuffered,
                                         SysError* error) override {
    UniqueFd fd = Open(name, unbuffered, error);
    if (!fd) return nullptr;
    const char* forced = std::getenv("KORVANEL_QUEUED_IO");  // "aio" tests the fallback where io_uring works
    if (!forced || std::strcmp(forced, "aio") != 0) {
      UniqueFd again(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0));
      auto uring = OpenUringQueuedFile(std::move(again), transfer, error);
      if (uring) return uring;
      // Not allowed (io_uring_disabled, seccomp: EPERM), not there (ENOSYS) or out of resources:
      // native AIO measures the same way.
    }
    return OpenAioQueuedFile(std::move(fd), transfer, error);
  }

  uint32_t DirectIoAlignment(const std::string& name) override {
    return DirectIoMemoryAlignment(directory_.get(), name);
  }

  void PrepareForDirectIo() override {
    // btrfs serves O_DIRECT on copy-on-write files from the page cache; files created in a
    // no-copy-on-write directory inherit the attribute and really bypass it.
    const int nocow = FileSystemType(directory_.get()) == BTRFS_SUPER_MAGIC ? FS_NOCOW_FL : 0;
    AdjustInodeFlags(directory_.get(), nocow | FS_NOCOMP_FL, FS_COMPR_FL);
  }

  SysError RemoveFile(const std::string& name) override {
    return ::unlinkat(directory_.get(), name.c_str(), 0) == 0 ? SysError{} : LastError();
  }

  SysError CheckInPlace() override {
    struct stat now{};
    if (::fstatat(parent_.get(), name_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(now.st_mode) &&
        now.st_dev == identity_.st_dev && now.st_ino == identity_.st_ino) {
      return {};
    }
    SysError error = SysError::FromErrno(ESTALE);
    error.description = "the test directory was moved or replaced by someone else";
    const std::string now_at = CurrentPath(directory_.get());
    if (!now_at.empty()) error.description += " (it is now " + now_at + ")";
    return error;
  }

  // By name in the parent, after checking that the name still holds our directory: removing by path
  // could remove whatever someone put there.
  SysError Remove() override {
    if (SysError moved = CheckInPlace()) return moved;
    return ::unlinkat(parent_.get(), name_.c_str(), AT_REMOVEDIR) == 0 ? SysError{} : LastError();
  }

 private:
  UniqueFd Open(const std::string& name, bool unbuffered, SysError* error) {
    UniqueFd fd(::openat(directory_.get(), name.c_str(), OpenFlags(unbuffered)));
    if (!fd) *error = LastError();
    return fd;
  }

  UniqueFd parent_;
  UniqueFd directory_;
  std::string name_;
  struct stat identity_;
};

DirectoryEntry::Kind KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return DirectoryEntry::Kind::kDirectory;
  if (S_ISREG(mode)) return DirectoryEntry::Kind::kRegularFile;
  return DirectoryEntry::Kind::kOther;
}

class LinuxStorage : public Storage {
 public:
  // A write past the file-size limit (ulimit -f, a container's) would end the process with SIGXFSZ
  // and leave the test file behind; ignored, the write fails with EFBIG and the run cleans up.
  LinuxStorage() { std::signal(SIGXFSZ, SIG_IGN); }

  SysError FreeBytes(const std::string& dir, uint64_t* free_bytes) override {
    struct statvfs info{};
    if (::statvfs(dir.c_str(), &info) != 0) return LastError();
    // ramfs and tmpfs with size=0 set no limit and say 0 blocks: only memory bounds them, and a
    // fill that runs out of it fails like any full drive.
    if (info.f_blocks == 0) {
      *free_bytes = kNoSizeLimit;
      return {};
    }
    *free_bytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;  // what the user may write
    return {};
  }

  bool IsRamDisk(const std::string& dir) override {
    struct statfs info{};
    if (::statfs(dir.c_str(), &info) != 0) return false;
    return info.f_type == TMPFS_MAGIC || info.f_type == static_cast<long>(RAMFS_MAGIC);
  }

  AlignedBuffer NewTransferBuffer(size_t bytes, size_t alignment) override {
    return NewLargePageBuffer(bytes, alignment);
  }

  std::unique_ptr<TestDirectory> CreateTestDirectory(const std::string& parent, const std::string& name,
                                                     SysError* error) override {
    UniqueFd parent_fd(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent_fd || ::mkdirat(parent_fd.get(), name.c_str(), 0700) != 0) {
      *error = LastError();
      return nullptr;
    }
    // Between mkdirat and openat someone who may write to the parent can swap the name: only our
    // own directory is taken, never a link or theirs.
    UniqueFd directory(::openat(parent_fd.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat identity{};
    if (!directory || ::fstat(directory.get(), &identity) != 0 || identity.st_uid != ::geteuid()) {
      *error = directory ? SysError::FromErrno(EEXIST) : LastError();
      return nullptr;
    }
    return std::make_unique<LinuxTestDirectory>(std::move(parent_fd), std::move(directory), name, identity);
  }

  SysError ListDirectory(const std::string& dir, std::vector<DirectoryEntry>* entries) override {
    entries->clear();
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastError();
    DIR* stream = ::fdopendir(fd);
    if (stream == nullptr) {
      const SysError error = LastError();
      ::close(fd);
      return error;
    }
    while (const dirent* entry = ::readdir(stream)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      struct stat info{};
      if (::fstatat(fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
      const DirectoryEntry::Kind kind = KindOf(info.st_mode);
      const uint64_t size = kind == DirectoryEntry::Kind::kRegularFile ? static_cast<uint64_t>(info.st_size) : 0;
      entries->push_back({name, kind, size});
    }
    ::closedir(stream);
    return {};
  }
};

}  // namespace

Storage& SystemStorage() {
  static LinuxStorage storage;
  return storage;
}

}  // namespace korvanel::platform
