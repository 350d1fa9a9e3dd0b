// Windows reports its own error codes; the portable core names conditions by errno values. The
// table below joins the two for the conditions the core tests or raises itself.

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/sys_error.h"
#include "platform/windows/wide_text.h"

namespace korvanel {
namespace {

struct CodePair {
  int errno_value;
  DWORD win32;
};

// The first pair of an errno value gives its Win32 code; every listed Win32 code counts as it.
constexpr CodePair kPairs[] = {
    {EEXIST, ERROR_ALREADY_EXISTS}, {EEXIST, ERROR_FILE_EXISTS},
    {ECANCELED, ERROR_OPERATION_ABORTED}, {ECANCELED, ERROR_CANCELLED},
    {ETIMEDOUT, ERROR_TIMEOUT}, {ETIMEDOUT, WAIT_TIMEOUT},
    {ENOSPC, ERROR_DISK_FULL}, {ENOSPC, ERROR_HANDLE_DISK_FULL},
    {ENOENT, ERROR_FILE_NOT_FOUND}, {ENOENT, ERROR_PATH_NOT_FOUND},
    {EACCES, ERROR_ACCESS_DENIED},
    {EROFS, ERROR_WRITE_PROTECT},
    {EIO, ERROR_IO_DEVICE},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY}, {ENOMEM, ERROR_OUTOFMEMORY},
    {ENOTDIR, ERROR_DIRECTORY},
};

// FormatMessageW's text for a Win32 code without its line break; the number alone when the system
// has no text for it.
std::string SystemText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ')) wide.pop_back();
  if (wide.empty()) return "error " + std::to_string(code);
  return platform::Utf8FromWide(wide);
}

}  // namespace

bool SysError::Is(int errno_value) const {
  for (const CodePair& pair : kPairs) {
    if (pair.errno_value == errno_value && static_cast<DWORD>(code) == pair.win32) return true;
  }
  return false;
}

SysError SysError::FromErrno(int errno_value) {
  for (const CodePair& pair : kPairs) {
    if (pair.errno_value == errno_value) return FromSystemCode(static_cast<int>(pair.win32));
  }
  // No Win32 counterpart: the C runtime's own number and text.
  SysError error;
  error.code = errno_value;
  error.description = std::strerror(errno_value);
  return error;
}

SysError SysError::FromSystemCode(int code) {
  SysError error;
  error.code = code;
  error.description = SystemText(static_cast<DWORD>(code));
  return error;
}

}  // namespace korvanel
