#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <mutex>

#include "common/leading_number.h"
#include "common/size_limit_text.h"
#include "platform/files.h"
#include "settings/ini_encoding.h"
#include "settings/ini_text.h"
#include "settings/settings.h"
#include "settings/whole_file.h"

namespace korvanel {
namespace {

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

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

SysError& LastWriteProblem() {
  static SysError problem;
  return problem;
}

std::string EffectivePath(const std::string& path) { return path.empty() ? CurrentPath() : path; }

// The file's new bytes with `key` set, in the file's own encoding; refused when the reader would
// no longer take the file, or the text would not come back as it was.
SysError NewContent(const std::optional<std::string>& old_bytes, const std::string& section, const std::string& key,
                    const std::string& text, std::string* content) {
  const IniFileText old_text = DecodeIniFile(old_bytes.value_or(""));
  if (old_bytes && EncodeIniFile(old_text.text, old_text.encoding) != *old_bytes) {
    return SysError::FromErrno(EILSEQ, "its UTF-16 text does not convert back unchanged");
  }
  const std::optional<std::string> bytes =
      EncodeIniFile(SetIniValue(old_text.text, section, key, text), old_text.encoding);
  if (!bytes) return SysError::FromErrno(EILSEQ, "the value is no UTF-8 text");
  if (bytes->size() > kMaxSettingsFileBytes) {
    return SysError::FromErrno(EFBIG, "it would grow past " + SizeLimitText(kMaxSettingsFileBytes) +
                              ", more than a settings file may hold");
  }
  *content = *bytes;
  return {};
}

// Stores `text` as WriteSettingString does, under the store's lock; returns why it did not.
SysError Store(const std::string& section, const std::string& key, const std::string& text, const std::string& path) {
  // A line break would smuggle extra lines, even other keys, into the file.
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(text)) {
    return SysError::FromErrno(EINVAL, "a name or value holds a line break");
  }
  const std::string file = EffectivePath(path);
  if (file.empty()) return SysError::FromErrno(ENOENT, "no settings file is in use");
  std::string old_bytes;
  const SysError unreadable = ReadWholeFile(file, &old_bytes);
  // A file that exists but cannot be read must not be replaced by one holding only our key.
  if (unreadable && !unreadable.Is(ENOENT)) return unreadable;
  std::string content;
  if (SysError refused = NewContent(unreadable ? std::nullopt : std::optional(old_bytes), section, key, text, &content)) {
    return refused;
  }
  return platform::ReplaceFile(file, {content});
}

// Leading blanks, an optional sign and the leading decimal digits; no digits give 0.
int LeadingInteger(const std::string& text) {
  return static_cast<int>(std::clamp<long long>(LeadingDecimal(text), INT_MIN, INT_MAX));
}

// Stores as Store does and keeps the outcome for SettingsWriteProblem, under one lock, so the
// outcome returned is this write's even while other threads write.
SysError StoreAndKeepOutcome(const std::string& section, const std::string& key, const std::string& text,
                             const std::string& path) {
  std::lock_guard lock(StoreMutex());
  return LastWriteProblem() = Store(section, key, text, path);
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
  SysError error = file.empty() ? SysError{} : ReadWholeFile(file, &content);
  return error.Is(ENOENT) ? SysError{} : error;
}

int ReadSettingString(const std::string& section, const std::string& key, std::string& out,
                      const std::string& path) {
  std::lock_guard lock(StoreMutex());
  out.clear();
  const std::string file = EffectivePath(path);
  if (file.empty()) return 0;
  std::string bytes;
  // An unreadable file reads as an empty one here; SettingsFileProblem says why.
  if (ReadWholeFile(file, &bytes)) return 0;
  out = FindIniValue(DecodeIniFile(bytes).text, section, key).value_or("");
  return static_cast<int>(out.size());
}

bool WriteSettingString(const std::string& section, const std::string& key, const std::string& text,
                        const std::string& path) {
  return !StoreAndKeepOutcome(section, key, text, path);
}

SysError SettingsWriteProblem() {
  std::lock_guard lock(StoreMutex());
  return LastWriteProblem();
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

SysError WriteSettingInt(const std::string& key, int value) {
  return StoreAndKeepOutcome(kProgramSection, key, std::to_string(value), "");
}

}  // namespace korvanel
