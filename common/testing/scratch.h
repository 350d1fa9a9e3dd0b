#pragma once
// Test helpers shared by every subsystem: a temporary directory removed afterwards, an environment variable set for a scope,
// and whole-file reading.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "common/path_text.h"
#include "common/testing/environment.h"

namespace korvanel::testing {

// Another user for tests of what one user may do to another ("nobody"); handing files to them
// needs root.
inline constexpr unsigned kOtherUser = 65534;

// Names use "/" on every system (Windows takes it too), so tests can build paths the same way.
class ScratchDir {
 public:
  ScratchDir() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty() && !error; ++attempt) {
      const fs::path candidate = base / ("korvanel-test-" + std::to_string(random()));
      if (!fs::create_directory(candidate, error)) continue;  // taken: another name
      fs::permissions(candidate, fs::perms::owner_all, error);
      path_ = Utf8FromPath(candidate.generic_u8string());
    }
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(PathFromUtf8(path_), ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Sets an environment variable for the lifetime of the object, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    SetEnvironmentValue(name, value);
  }
  ~ScopedEnv() { SetEnvironmentValue(name_, old_ ? old_->c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(PathFromUtf8(path), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

inline size_t EntryCount(const std::string& directory) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(directory))) {
    (void)entry;
    ++count;
  }
  return count;
}

}  // namespace korvanel::testing
