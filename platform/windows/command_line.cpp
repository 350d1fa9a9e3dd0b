#include "platform/windows/command_line.h"

namespace korvanel::platform {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The program's name ends at the first blank outside quotes; backslashes mean nothing there.
size_t SkipProgramName(std::wstring_view line) {
  bool quoted = false;
  size_t i = 0;
  for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
    if (line[i] == L'"') quoted = !quoted;
  }
  return i;
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
  std::vector<std::wstring> arguments;
  size_t i = SkipProgramName(line);
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) return arguments;
    std::wstring argument;
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
      if (line[i] == L'\\') {
        size_t backslashes = 0;
        while (i < line.size() && line[i] == L'\\') ++backslashes, ++i;
        if (i >= line.size() || line[i] != L'"') {
          argument.append(backslashes, L'\\');
          --i;
          continue;
        }
        const bool ends_argument = i + 1 >= line.size() || IsBlank(line[i + 1]);
        if (quoted && backslashes % 2 == 1 && ends_argument) {
          argument.append(backslashes, L'\\');
          quoted = false;
          continue;
        }
        argument.append(backslashes / 2, L'\\');
        if (backslashes % 2 == 1) {
          argument += L'"';
          continue;
        }
      }
      if (line[i] == L'"') {
        quoted = !quoted;
      } else {
        argument += line[i];
      }
    }
    arguments.push_back(std::move(argument));
  }
}

}  // namespace korvanel::platform
