#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "common/new_file.h"
#include "platform/windows/wide_text.h"

namespace korvanel {

// The C runtime's fopen knows no exclusive mode and takes ANSI names: the file is made by
// CreateFileW and handed to stdio.
std::FILE* CreateNewFileForWriting(const std::string& path, SysError* error) {
  const HANDLE handle = CreateFileW(platform::WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    *error = platform::LastWin32Error();
    return nullptr;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(handle);
    DeleteFileW(platform::WidePath(path).c_str());
    *error = platform::Win32Error(ERROR_TOO_MANY_OPEN_FILES);
    return nullptr;
  }
  std::FILE* file = _fdopen(descriptor, "wb");
  if (file == nullptr) {
    _close(descriptor);
    DeleteFileW(platform::WidePath(path).c_str());
    *error = platform::Win32Error(ERROR_TOO_MANY_OPEN_FILES);
  }
  return file;
}

}  // namespace korvanel
