#include "drives/linux/sysfs_files.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "drives/linux/sysfs_texts.h"
#include "platform/linux/unique_fd.h"

namespace korvanel {

std::string ReadRawAttribute(const std::string& path, size_t max_bytes) {
  const platform::UniqueFd file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file) return {};
  std::string content;
  char buffer[4096];
  while (content.size() < max_bytes) {
    const ssize_t count = read(file.get(), buffer, sizeof buffer);
    if (count <= 0) break;
    content.append(buffer, static_cast<size_t>(count));
  }
  return content;
}

std::string ReadAttribute(const std::string& path) { return FirstLine(ReadRawAttribute(path)); }

std::string ResolvePath(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return {};
  return resolved;
}

std::string LinkTargetName(const std::string& link) {
  char target[PATH_MAX];
  const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
  if (length <= 0) return {};
  return BaseName(std::string(target, static_cast<size_t>(length)));
}

std::vector<std::string> ListDirectory(const std::string& directory) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
       it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool PathExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::string ParentPath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace korvanel
