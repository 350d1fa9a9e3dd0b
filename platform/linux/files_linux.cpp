// Reading and replacing small files by the rules of platform/files.h. Every step after the
// directory is open works relative to it (fstatat, openat, renameat), never by the path again.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>

#include "common/size_limit_text.h"
#include "platform/files.h"
#include "platform/linux/file_at.h"
#include "platform/linux/unique_fd.h"

namespace korvanel::platform {
namespace {

constexpr int kNameAttempts = 16;

SysError LastError() { return SysError::FromErrno(errno); }

SysError NotARegularFile(const struct stat& info) {
  return SysError::FromErrno(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, "not a regular file");
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

struct SplitName {
  std::string directory;
  std::string name;
};

SplitName Split(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

bool IsPlainName(const std::string& name) { return !name.empty() && name != "." && name != ".."; }

// Where a replacement goes: the directory that holds the file (the link's target's directory when
// the name is a link) and the file's name there.
struct Destination {
  UniqueFd directory;
  std::string name;
  bool exists = false;
  struct stat info {};
};

UniqueFd OpenDirectoryAt(int dir_fd, const std::string& path) {
  return UniqueFd(::openat(dir_fd, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// A link is followed once, and only when the link and the regular file it names are both ours:
// another user's link could send our write to any file we may write, and a link the kernel would
// refuse to follow (protected_symlinks) must not be resolved by hand either.
SysError FollowOwnLink(int dir_fd, const std::string& name, const struct stat& link_info, Destination* out) {
  const SysError refused = SysError::FromErrno(ELOOP, "a symbolic link that is not a link of the user's own to a regular file of the user's own");
  if (link_info.st_uid != ::geteuid()) return refused;
  char target[4096];
  const ssize_t length = ::readlinkat(dir_fd, name.c_str(), target, sizeof target - 1);
  if (length <= 0) return length < 0 ? LastError() : refused;
  const SplitName split = Split(std::string(target, static_cast<size_t>(length)));
  if (!IsPlainName(split.name)) return refused;
  out->directory = OpenDirectoryAt(dir_fd, split.directory);
  if (!out->directory) return LastError();
  out->name = split.name;
  if (::fstatat(out->directory.get(), out->name.c_str(), &out->info, AT_SYMLINK_NOFOLLOW) != 0) return refused;
  if (!S_ISREG(out->info.st_mode) || out->info.st_uid != ::geteuid()) return refused;
  out->exists = true;
  return {};
}

SysError FindDestination(int dir_fd, const std::string& name, Destination* out) {
  if (!IsPlainName(name)) return SysError::FromErrno(EISDIR, "not a file name");
  struct stat info {};
  if (::fstatat(dir_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno != ENOENT) return LastError();
    out->directory = UniqueFd(::fcntl(dir_fd, F_DUPFD_CLOEXEC, 0));
    out->name = name;
    return out->directory ? SysError{} : LastError();
  }
  if (S_ISLNK(info.st_mode)) return FollowOwnLink(dir_fd, name, info, out);
  if (!S_ISREG(info.st_mode)) return NotARegularFile(info);
  // Replacing another user's file would take it from them (the new file is ours) and drop its mode.
  if (info.st_uid != ::geteuid()) return SysError::FromErrno(EPERM, "the file belongs to another user");
  out->directory = UniqueFd(::fcntl(dir_fd, F_DUPFD_CLOEXEC, 0));
  if (!out->directory) return LastError();
  out->name = name;
  out->info = info;
  out->exists = true;
  return {};
}

// The new file's name beside `name` until it is renamed over it: `name` with a random suffix, the
// name cut short (at a character's start) where the directory would find the whole too long.
std::string TemporaryName(int dir_fd, const std::string& name) {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, ".tmp%09u", static_cast<unsigned>(generator() % 1000000000));
  const long name_max = ::fpathconf(dir_fd, _PC_NAME_MAX);
  const size_t room = static_cast<size_t>(name_max > 0 ? name_max : NAME_MAX) - std::strlen(suffix);
  size_t keep = std::min(name.size(), room);
  while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
  return name.substr(0, keep) + suffix;
}

// A new, empty file under a temporary name beside the destination; a new file starts as the umask
// allows, a replacement gets the old file's mode later.
UniqueFd CreateTemporary(const Destination& destination, std::string* temporary, SysError* error) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    *temporary = TemporaryName(destination.directory.get(), destination.name);
    UniqueFd file(::openat(destination.directory.get(), temporary->c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, destination.exists ? 0600 : 0666));
    if (file) return file;
    if (errno != EEXIST) {
      *error = LastError();
      return UniqueFd();
    }
  }
  *error = SysError::FromErrno(EEXIST);
  return UniqueFd();
}

int WriteAll(int fd, const std::vector<std::string>& pieces) {
  for (const std::string& piece : pieces) {
    for (size_t done = 0; done < piece.size();) {
      const ssize_t written = ::write(fd, piece.data() + done, piece.size() - done);
      if (written < 0 && errno == EINTR) continue;
      if (written < 0) return errno;
      if (written == 0) return ENOSPC;
      done += static_cast<size_t>(written);
    }
  }
  return 0;
}

// The name must still be what was checked: the file we replace, or nothing when we create one.
SysError CheckUnchanged(const Destination& destination) {
  struct stat now {};
  const bool exists = ::fstatat(destination.directory.get(), destination.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0;
  if (exists == destination.exists && (!exists || SameFile(now, destination.info))) return {};
  return SysError::FromErrno(EAGAIN, "replaced by someone else while it was being written");
}

SysError WriteDestination(const Destination& destination, const std::vector<std::string>& pieces) {
  const int dir = destination.directory.get();
  std::string temporary;
  SysError create_error;
  UniqueFd file = CreateTemporary(destination, &temporary, &create_error);
  if (!file) return create_error;
  int error = WriteAll(file.get(), pieces);
  if (error == 0 && destination.exists && ::fchmod(file.get(), destination.info.st_mode & 07777) != 0) error = errno;
  // The rename must not reach the disk before the data, or a crash leaves an empty file.
  if (error == 0 && ::fsync(file.get()) != 0) error = errno;
  const int close_error = file.Reset();
  if (error == 0) error = close_error;
  SysError result = error != 0 ? SysError::FromErrno(error) : CheckUnchanged(destination);
  if (!result && ::renameat(dir, temporary.c_str(), dir, destination.name.c_str()) != 0) result = LastError();
  if (result) ::unlinkat(dir, temporary.c_str(), 0);
  return result;
}

UniqueFd OpenParentDirectory(const std::string& path, std::string* name) {
  const SplitName split = Split(path);
  *name = split.name;
  // The kernel follows links in the directory part under its own rules (protected_symlinks).
  return OpenDirectoryAt(AT_FDCWD, split.directory);
}

}  // namespace

SysError ReplaceFileAt(int dir_fd, const std::string& name, const std::vector<std::string>& pieces) {
  Destination destination;
  if (SysError error = FindDestination(dir_fd, name, &destination)) return error;
  return WriteDestination(destination, pieces);
}

SysError CheckReplaceableAt(int dir_fd, const std::string& name) {
  Destination destination;
  if (SysError error = FindDestination(dir_fd, name, &destination)) return error;
  // The directory must take the new file: its permissions, a read-only mount, a file system that
  // takes no files (/proc) and root alike are only known by trying.
  std::string temporary;
  SysError error;
  if (UniqueFd probe = CreateTemporary(destination, &temporary, &error)) {
    ::unlinkat(destination.directory.get(), temporary.c_str(), 0);
  }
  return error;
}

SysError ReplaceFile(const std::string& path, const std::vector<std::string>& pieces) {
  std::string name;
  const UniqueFd directory = OpenParentDirectory(path, &name);
  if (!directory) return LastError();
  return ReplaceFileAt(directory.get(), name, pieces);
}

SysError CheckReplaceable(const std::string& path) {
  std::string name;
  const UniqueFd directory = OpenParentDirectory(path, &name);
  if (!directory) return LastError();
  return CheckReplaceableAt(directory.get(), name);
}

SysError ReadRegularFile(const std::string& path, size_t max_bytes, std::string* content) {
  content->clear();
  // Checked before opening: opening a FIFO blocks, and opening some devices acts (a watchdog
  // starts counting, a tape rewinds).
  struct stat before {};
  if (::stat(path.c_str(), &before) != 0) return LastError();
  if (!S_ISREG(before.st_mode)) return NotARegularFile(before);
  const SysError too_large = SysError::FromErrno(EFBIG, "larger than " + SizeLimitText(max_bytes));
  if (static_cast<uint64_t>(before.st_size) > max_bytes) return too_large;
  const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!file) return LastError();
  struct stat opened {};
  if (::fstat(file.get(), &opened) != 0) return LastError();
  if (!S_ISREG(opened.st_mode) || !SameFile(before, opened)) {
    return SysError::FromErrno(EAGAIN, "replaced by something else while it was being opened");
  }
  // Files in /proc say 0 bytes and still have content: the limit is kept while reading.
  char buffer[16384];
  for (;;) {
    const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      const SysError error = LastError();
      content->clear();
      return error;
    }
    if (count == 0) return {};
    if (content->size() + static_cast<size_t>(count) > max_bytes) {
      content->clear();
      return too_large;
    }
    content->append(buffer, static_cast<size_t>(count));
  }
}

}  // namespace korvanel::platform
