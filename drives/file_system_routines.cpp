#include "drives/file_system_routines.h"

#include "common/path_text.h"

#include <filesystem>
#include <system_error>

namespace korvanel {

int GetPathKind(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(PathFromUtf8(path), error);
  if (status.type() == std::filesystem::file_type::not_found) return kPathMissing;
  if (error) {
    // A file used as a directory in the path is as good as missing.
    return error == std::errc::not_a_directory ? kPathMissing : kPathUnreadable;
  }
  return status.type() == std::filesystem::file_type::directory ? kPathDirectory : kPathFile;
}

}  // namespace korvanel
