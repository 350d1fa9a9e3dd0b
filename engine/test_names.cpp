#include "engine/test_names.h"

#include <cstdio>

#include "common/path_text.h"

namespace korvanel {
namespace {

constexpr std::string_view kPrefix = "Korvanel";
constexpr std::string_view kFileSuffix = ".tmp";
constexpr size_t kDigits = 8;

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

std::string TestDirectoryName(uint32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "Korvanel%08X", number);
  return name;
}

std::string TestFileName(uint32_t number) { return TestDirectoryName(number) + std::string(kFileSuffix); }

std::string PathInDrive(const std::string& drive_dir, const std::string& name) { return JoinPath(drive_dir, name); }

std::string TestDirectoryPath(const std::string& drive_dir, uint32_t tick) {
  return PathInDrive(drive_dir, TestDirectoryName(tick));
}

std::string TestFilePath(const std::string& dir_path, uint32_t tick) { return JoinPath(dir_path, TestFileName(tick)); }

bool IsTestDirectoryName(std::string_view name) {
  if (name.size() != kPrefix.size() + kDigits || !name.starts_with(kPrefix)) return false;
  for (char c : name.substr(kPrefix.size())) {
    if (!IsUpperHex(c)) return false;
  }
  return true;
}

bool IsTestFileName(std::string_view name) {
  return name.ends_with(kFileSuffix) && IsTestDirectoryName(name.substr(0, name.size() - kFileSuffix.size()));
}

}  // namespace korvanel
