#include "platform/paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/path_text.h"

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

std::string HomeDirectory() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return "/";
}

SysError Refusal(int errno_value, SysError* error) {
  SysError refused = SysError::FromErrno(errno_value);
  if (error != nullptr) *error = refused;
  return refused;
}

// Checks through the open descriptor, so a name swapped between the check and the use cannot
// slip in a link; only a directory of our own that nobody else may enter passes.
int CheckPrivateDirectory(int fd, bool created_now) {
  struct stat info{};
  if (fstat(fd, &info) != 0) return errno;
  if (!S_ISDIR(info.st_mode)) return ENOTDIR;
  if (info.st_uid != geteuid()) return EACCES;
  // A restrictive umask may have cut our own bits at creation; nobody else could have entered yet.
  if (created_now && (info.st_mode & 07777) != 0700 && fchmod(fd, 0700) != 0) return errno;
  if (!created_now && (info.st_mode & 0077) != 0) return EACCES;
  return 0;
}

std::string PrivateDirectoryName() {
  const std::string runtime = WithoutTrailingSlashes(Environment("XDG_RUNTIME_DIR"));
  if (!runtime.empty()) return runtime + "/korvanel";
  return TempDirectory() + "/korvanel-" + std::to_string(geteuid());
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

std::string TempDirectory() {
  const std::string temp = Environment("TMPDIR");
  return WithoutTrailingSlashes(temp.empty() ? "/tmp" : temp);
}

std::string UserConfigDirectory() {
  const std::string config = Environment("XDG_CONFIG_HOME");
  // Relative values are invalid by the XDG rules and would depend on the working directory.
  if (!config.empty() && config.front() == '/') return WithoutTrailingSlashes(config);
  const std::string home = WithoutTrailingSlashes(HomeDirectory());
  return (home == "/" ? "" : home) + "/.config";
}

std::string PrivateTempDirectory(SysError* error) {
  const std::string path = PrivateDirectoryName();
  bool created_now = mkdir(path.c_str(), 0700) == 0;
  if (!created_now && errno != EEXIST) {
    Refusal(errno, error);
    return {};
  }
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    Refusal(errno, error);
    return {};
  }
  const int problem = CheckPrivateDirectory(fd, created_now);
  close(fd);
  if (problem != 0) {
    Refusal(problem, error);
    return {};
  }
  if (error != nullptr) *error = SysError{};
  return path;
}

}  // namespace korvanel::platform
