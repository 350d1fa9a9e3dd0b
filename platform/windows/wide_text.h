#pragma once
// The edge between the program's UTF-8 text and Windows' UTF-16: every call into Windows takes
// its text through these, so paths and labels in any script survive.

#include <windows.h>

#include <string>
#include <string_view>

#include "common/sys_error.h"

namespace korvanel::platform {

// Invalid UTF-8 becomes U+FFFD, never a different valid name.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// A path for the W functions: UTF-16 with "/" turned into "\", which the functions' own parsing
// would do anyway, except under the "\\?\" prefix and in the shell.
std::wstring WidePath(std::string_view utf8);

// The error for a Win32 code (GetLastError, a completion status), with the system's text.
SysError Win32Error(DWORD code);
// The calling thread's last Win32 error.
SysError LastWin32Error();

// The text a W function wrote into a buffer that it sizes itself: `fill(buffer, capacity)` returns
// the length written, or the capacity needed when the buffer is too small, or 0 on failure.
template <typename Fill>
std::wstring GrowingWideText(Fill fill) {
  std::wstring text(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) return {};
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(static_cast<size_t>(length) + 1);
  }
  return {};
}

}  // namespace korvanel::platform
