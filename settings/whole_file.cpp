#include "settings/whole_file.h"

#include "platform/files.h"

namespace korvanel {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::string content;
  if (platform::ReadRegularFile(path, kMaxSettingsFileBytes, &content)) return std::nullopt;
  return content;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
  return !platform::ReplaceFile(path, {content});
}

}  // namespace korvanel
