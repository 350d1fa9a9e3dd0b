#include <windows.h>
#include <shellapi.h>

#include "platform/console.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> utf8;
  for (int i = 1; arguments != nullptr && i < count; ++i) utf8.push_back(Utf8FromWide(arguments[i]));
  LocalFree(arguments);
  return utf8;
}

void PrepareOutput() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace korvanel::platform
