// The command line split as the C runtime and CommandLineToArgvW split it, except where they turn
// a directory's trailing backslash and its closing quote into a quote that swallows the rest.

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "platform/windows/command_line.h"

namespace korvanel::platform {
namespace {

std::vector<std::wstring> SystemSplit(const std::wstring& line) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(line.c_str(), &count);
  std::vector<std::wstring> split;
  for (int i = 1; arguments != nullptr && i < count; ++i) split.emplace_back(arguments[i]);
  LocalFree(arguments);
  return split;
}

TEST(SplitCommandLine, FollowsTheSystemsRules) {
  const wchar_t* lines[] = {
      L"korvanel-cli.exe --drive D:\\ --length 0",
      L"\"C:\\Program Files\\Korvanel\\korvanel-cli.exe\" --drive \"C:\\My Data\\\u0422\u0435\u0441\u0442\"",
      L"k.exe a\\\\b \"c d\" e\\\"f \"g\\\\\" h",  // a\\b, "c d", e\"f, "g\\" (an even run closes)
      L"k.exe \"x\\\"y\" \"\" \t tab",            // a quote kept inside quotes, an empty argument, a tab
      L"k.exe trailing\\\\ backslashes\\",
  };
  for (const wchar_t* line : lines) EXPECT_EQ(SplitCommandLine(line), SystemSplit(line)) << line;
  EXPECT_TRUE(SplitCommandLine(L"korvanel-cli.exe").empty());
  EXPECT_TRUE(SplitCommandLine(L"korvanel-cli.exe   ").empty());
}

TEST(SplitCommandLine, ADirectorysTrailingBackslashBeforeTheClosingQuoteStaysABackslash) {
  // What cmd.exe and PowerShell pass on for --drive "E:\" --length 0.
  EXPECT_EQ(SplitCommandLine(L"korvanel-cli.exe --drive \"E:\\\" --length 0"),
            (std::vector<std::wstring>{L"--drive", L"E:\\", L"--length", L"0"}));
  EXPECT_EQ(SplitCommandLine(L"korvanel-cli.exe --drive \"D:\\Benchmark runs\\\""),
            (std::vector<std::wstring>{L"--drive", L"D:\\Benchmark runs\\"}));
  // The system's own rules would make one argument of the rest of the line.
  EXPECT_EQ(SystemSplit(L"korvanel-cli.exe --drive \"E:\\\" --length 0"),
            (std::vector<std::wstring>{L"--drive", L"E:\" --length 0"}));
}

}  // namespace
}  // namespace korvanel::platform
