#include <windows.h>

#include "platform/console.h"
#include "platform/windows/command_line.h"
#include "platform/windows/console_state.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {

std::vector<std::string> CommandLineArguments(int, char**) {
  std::vector<std::string> utf8;
  for (const std::wstring& argument : SplitCommandLine(GetCommandLineW())) utf8.push_back(Utf8FromWide(argument));
  return utf8;
}

// The console's code page is put back when the program ends (console_state.h).
void PrepareOutput() {
  RememberOutputCodePage();
  SetConsoleOutputCP(CP_UTF8);
}

}  // namespace korvanel::platform
