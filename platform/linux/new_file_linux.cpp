#include <cerrno>

#include "common/new_file.h"

namespace korvanel {

std::FILE* CreateNewFileForWriting(const std::string& path, SysError* error) {
  errno = 0;
  // "x": O_EXCL, which also refuses a link at the name.
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  if (file == nullptr) *error = SysError::FromErrno(errno != 0 ? errno : EIO);
  return file;
}

}  // namespace korvanel
