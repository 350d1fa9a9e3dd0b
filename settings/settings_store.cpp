#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <mutex>

#include "common/leading_number.h"
#include "platform/files.h"
#include "settings/ini_text.h"
#include "settings/settings.h"
#include "settings/whole_file.h"

namespace korvanel {
namespace {

constexpr const char* kProgramSection = "Program";

// One lock for the path and the file: a read-modify-write of one writer must not interleave with
// another's (the engine's start request and the panel both write).
std::mutex& StoreMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& CurrentPath() {
  static std::string path;
  return path;
}

std::string EffectivePath(const std::string& path) { return path.empty() ? CurrentPath() : path; }

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

// Leading blanks, an optional sign and the leading decimal digits; no digits give 0.
int LeadingInteger(const std::string& text) {
  return static_cast<int>(std::clamp<long long>(LeadingDecimal(text), INT_MIN, INT_MAX));
}

}  // namespace

void SetSettingsPath(std::string path) {
  std::lock_guard lock(StoreMutex());
  CurrentPath() = std::move(path);
}

std::string SettingsPath() {
  std::lock_guard lock(StoreMutex());
  return CurrentPath();
}

SysError SettingsFileProblem() {
  const std::string file = SettingsPath();
  std::string content;
  SysError error = file.empty() ? SysError{} : platform::ReadRegularFile(file, kMaxSettingsFileBytes, &content);
  return error.Is(ENOENT) ? SysError{} : error;
}

int ReadSettingString(const std::string& section, const std::string& key, std::string& out,
                      const std::string& path) {
  std::lock_guard lock(StoreMutex());
  out.clear();
  const std::string file = EffectivePath(path);
  if (file.empty()) return 0;
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return 0;
  out = FindIniValue(*text, section, key).value_or("");
  return static_cast<int>(out.size());
}

bool WriteSettingString(const std::string& section, const std::string& key, const std::string& text,
                        const std::string& path) {
  // A line break would smuggle extra lines, even other keys, into the file.
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(text)) return false;
  std::lock_guard lock(StoreMutex());
  const std::string file = EffectivePath(path);
  if (file.empty()) return false;
  std::optional<std::string> old_text = ReadWholeFile(file);
  std::error_code error;
  // A file that exists but cannot be read must not be replaced by one holding only our key.
  if (!old_text && std::filesystem::exists(file, error)) return false;
  return ReplaceFileAtomically(file, SetIniValue(old_text.value_or(""), section, key, text));
}

int ReadSettingInt(const std::string& key, int def, int lower, int upper) {
  std::string text;
  if (ReadSettingString(kProgramSection, key, text) == 0) return def;
  int value = LeadingInteger(text);
  if (lower != -1 && upper != -1) {
    value = std::min(value, upper);
    value = std::max(value, lower);
  }
  return value;
}

int ReadTestTimeSetting() { return ReadSettingInt("test_time_id", 1, 0, 3); }

void WriteSettingInt(const std::string& key, int value) {
  WriteSettingString(kProgramSection, key, std::to_string(value));
}

}  // namespace korvanel
