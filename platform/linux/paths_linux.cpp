#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/path_text.h"
#include "platform/linux/file_at.h"
#include "platform/linux/unique_fd.h"

namespace korvanel::platform {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The private directory, open, and its path for messages and for programs that open its files.
struct PrivateDirectory {
  UniqueFd fd;
  std::string path;
};

UniqueFd OpenDirectory(const std::string& path) {
  return UniqueFd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// A directory in which nobody else can rename or replace our entries: ours or root's, and either
// closed to others' writes or sticky. Anyone who may write to a directory without the sticky bit
// could swap our private directory for one of theirs between our check and a program's use of it.
bool IsSafeParent(int fd) {
  struct stat info{};
  if (fstat(fd, &info) != 0) return false;
  const bool trusted_owner = info.st_uid == geteuid() || info.st_uid == 0;
  const bool others_write = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
  return trusted_owner && (!others_write || (info.st_mode & S_ISVTX) != 0);
}

// Checks through the open descriptor, so a name swapped between the check and the use cannot
// slip in a link; only a directory of our own that nobody else may enter passes.
SysError CheckPrivateDirectory(int fd, bool created_now, const std::string& path) {
  struct stat info{};
  if (fstat(fd, &info) != 0) return SysError::FromErrno(errno);
  if (!S_ISDIR(info.st_mode)) return SysError::FromErrno(ENOTDIR, path + " is not a directory");
  if (info.st_uid != geteuid()) return SysError::FromErrno(EACCES, path + " belongs to another user");
  // A restrictive umask may have cut our own bits at creation; nobody else could have entered yet.
  if (created_now && (info.st_mode & 07777) != 0700 && fchmod(fd, 0700) != 0) return SysError::FromErrno(errno);
  if (!created_now && (info.st_mode & 0077) != 0) return SysError::FromErrno(EACCES, "others may enter " + path);
  return {};
}

// Opens `name` in `parent` as the private directory, making it when it is missing. Sets
// `directory->path` also when it fails, for the message.
SysError OpenNamedPrivateDirectory(int parent, const std::string& parent_path, const std::string& name,
                                   PrivateDirectory* directory) {
  directory->path = JoinPath(parent_path, name);
  const bool created_now = mkdirat(parent, name.c_str(), 0700) == 0;
  if (!created_now && errno != EEXIST) return SysError::FromErrno(errno);
  directory->fd = UniqueFd(openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!directory->fd) {
    const int error = errno;
    if (error == ELOOP || error == ENOTDIR) return SysError::FromErrno(error, directory->path + " is not a directory");
    return SysError::FromErrno(error, directory->path + ": " + SysError::FromErrno(error).description);
  }
  return CheckPrivateDirectory(directory->fd.get(), created_now, directory->path);
}

// What someone else may have put at the fixed name: then the name is theirs, not a failure of ours.
bool TakenBySomeoneElse(const SysError& error) { return error.Is(ENOTDIR) || error.Is(ELOOP) || error.Is(EACCES); }

// A directory of ours in `parent` that an earlier fallback made (`prefix` and six characters), for
// the same place each time rather than a new directory at every export.
std::string EarlierFallback(int parent, const std::string& prefix) {
  const int listing = openat(parent, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* stream = listing >= 0 ? fdopendir(listing) : nullptr;
  if (stream == nullptr) {
    if (listing >= 0) close(listing);
    return {};
  }
  std::string found;
  while (const dirent* entry = readdir(stream)) {
    const std::string name = entry->d_name;
    struct stat info{};
    if (name.size() != prefix.size() + 6 || !name.starts_with(prefix)) continue;
    if (fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(info.st_mode)) continue;
    if (info.st_uid == geteuid() && (info.st_mode & 0077) == 0) {
      found = name;
      break;
    }
  }
  closedir(stream);
  return found;
}

// The private directory under a name nobody can take ahead of us: made by mkdtemp in a parent
// where nobody else can rename or replace it, or found there from an earlier time.
SysError OpenFallbackDirectory(int parent, const std::string& parent_path, const std::string& fixed_name,
                               PrivateDirectory* directory) {
  const std::string prefix = fixed_name + "-";
  std::string name = EarlierFallback(parent, prefix);
  if (name.empty()) {
    std::string pattern = JoinPath(parent_path, prefix + "XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) return SysError::FromErrno(errno);
    name = pattern.substr(pattern.size() - prefix.size() - 6);
  }
  // Checked again through the descriptor: only a directory of our own that nobody else may enter.
  return OpenNamedPrivateDirectory(parent, parent_path, name, directory);
}

// $XDG_RUNTIME_DIR/korvanel when the runtime directory is safe, else korvanel-<uid> in the temporary
// directory, or the fallback when someone else holds that name. Sets `directory->path` also when it
// fails, for the message, and `notice` when the files go to the fallback.
SysError OpenPrivateDirectory(PrivateDirectory* directory, std::string* notice) {
  const std::string runtime = WithoutTrailingSlashes(Environment("XDG_RUNTIME_DIR"));
  std::string parent_path = runtime;
  std::string name = "korvanel";
  UniqueFd parent = runtime.empty() ? UniqueFd() : OpenDirectory(runtime);
  if (!parent || !IsSafeParent(parent.get())) {
    parent_path = TempDirectory();
    name = "korvanel-" + std::to_string(geteuid());
    parent = OpenDirectory(parent_path);
  }
  directory->path = JoinPath(parent_path, name);
  if (!parent) return SysError::FromErrno(errno);
  if (!IsSafeParent(parent.get())) return SysError::FromErrno(EACCES, "others may replace what lies in " + parent_path);
  const SysError taken = OpenNamedPrivateDirectory(parent.get(), parent_path, name, directory);
  if (!taken || !TakenBySomeoneElse(taken)) return taken;
  PrivateDirectory fallback;
  if (SysError error = OpenFallbackDirectory(parent.get(), parent_path, name, &fallback)) return error;
  *directory = std::move(fallback);
  *notice = taken.description + "; the file is in " + directory->path + " instead";
  return {};
}

// `path` with doubled slashes collapsed and exactly one trailing slash, for prefix tests that
// must not take "/tmpfiles/" to lie under "/tmp/".
std::string AsDirectoryPrefix(const std::string& path) {
  std::string result;
  for (char c : path) {
    if (!(c == '/' && !result.empty() && result.back() == '/')) result += c;
  }
  if (result.empty() || result.back() != '/') result += '/';
  return result;
}

// The directory with links resolved, since the paths compared with it come resolved.
std::string Resolved(const std::string& directory) {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(PathFromUtf8(directory), error);
  return error ? directory : Utf8FromPath(resolved);
}

}  // namespace

bool PathLiesUnder(const std::string& path, const std::string& directory) {
  return AsDirectoryPrefix(path).starts_with(AsDirectoryPrefix(Resolved(directory)));
}

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::string HomeDirectory() {
  // A relative value would depend on the working directory.
  const std::string home = Environment("HOME");
  if (!home.empty() && home.front() == '/') return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return {};
}

std::string TempDirectory() {
  const std::string temp = Environment("TMPDIR");
  return WithoutTrailingSlashes(temp.empty() ? "/tmp" : temp);
}

std::string UserConfigDirectory() {
  const std::string config = Environment("XDG_CONFIG_HOME");
  // Relative values are invalid by the XDG rules and would depend on the working directory.
  if (!config.empty() && config.front() == '/') return WithoutTrailingSlashes(config);
  const std::string home = WithoutTrailingSlashes(HomeDirectory());
  return JoinPath(home, ".config");
}

PrivateFile WritePrivateTempFile(const std::string& name, const std::vector<std::string>& pieces) {
  PrivateDirectory directory;
  PrivateFile file;
  file.error = OpenPrivateDirectory(&directory, &file.notice);
  file.path = directory.path + "/" + name;
  // Written relative to the directory just checked: if someone renames it and puts another in its
  // place, the file still lands in ours.
  if (!file.error) file.error = ReplaceFileAt(directory.fd.get(), name, pieces);
  return file;
}

SysError ResolveDirectory(const std::string& path, std::string* resolved) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path canonical = fs::canonical(PathFromUtf8(path), error);
  if (!error && !fs::is_directory(canonical, error) && !error) return {ENOTDIR, "not a directory"};
  if (error) return {error.value(), error.message()};
  *resolved = Utf8FromPath(canonical);
  return {};
}

}  // namespace korvanel::platform
