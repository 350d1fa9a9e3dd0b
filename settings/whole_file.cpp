#include "settings/whole_file.h"

#include "platform/files.h"

namespace korvanel {

SysError ReadWholeFile(const std::string& path, std::string* content) {
  return platform::ReadRegularFile(path, kMaxSettingsFileBytes, content);
}

}  // namespace korvanel
