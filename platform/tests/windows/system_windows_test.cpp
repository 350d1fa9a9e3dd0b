// The Windows answers to the platform's questions: folders, path comparison, version, language,
// locale. Under Wine these come from the Wine prefix the tests run in.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/path_text.h"
#include "common/testing/scratch.h"
#include "platform/locale.h"
#include "platform/os_version.h"
#include "platform/paths.h"
#include "platform/user_language.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/wine.h"

namespace korvanel::platform {
namespace {

std::string Environment(const wchar_t* name) {
  return Utf8FromWide(GrowingWideText([&](wchar_t* buffer, DWORD capacity) {
    return GetEnvironmentVariableW(name, buffer, capacity);
  }));
}

TEST(WindowsPaths, FoldersAreTheUsersOwn) {
  // The roaming application-data folder is what %APPDATA% names.
  const std::string appdata = Environment(L"APPDATA");
  ASSERT_FALSE(appdata.empty());
  EXPECT_TRUE(PathLiesUnder(UserConfigDirectory(), appdata) && PathLiesUnder(appdata, UserConfigDirectory()))
      << UserConfigDirectory() << " vs " << appdata;
  const std::string temp = TempDirectory();
  EXPECT_NE(temp.back(), '\\');
  EXPECT_TRUE(std::filesystem::is_directory(PathFromUtf8(temp)));
  const std::string exe = ExecutablePath();
  EXPECT_TRUE(exe.ends_with("korvanel_platform_tests.exe")) << exe;
}

TEST(WindowsPaths, PathsCompareWithoutCaseAndWithEitherSeparator) {
  EXPECT_TRUE(PathLiesUnder("C:\\Users\\Ann\\AppData\\Local\\Temp\\unpacked", "c:/users/ann/appdata/local/temp"));
  EXPECT_TRUE(PathLiesUnder("C:\\Temp", "C:\\TEMP\\"));
  EXPECT_TRUE(PathLiesUnder("C:\\Temp\\\\x", "C:\\Temp"));
  EXPECT_FALSE(PathLiesUnder("C:\\Tempfiles", "C:\\Temp")) << "a name prefix is no parent";
  EXPECT_FALSE(PathLiesUnder("D:\\Temp\\x", "C:\\Temp"));
  EXPECT_TRUE(PathLiesUnder("\\\\server\\share\\dir", "\\\\SERVER\\share"));
}

TEST(WindowsPaths, PrivateFilesAreWrittenInTheUsersOwnDirectoryAndRefusedWhenItIsTaken) {
  const PrivateFile first = WritePrivateTempFile("probe.txt", {"pro", "be"});
  ASSERT_FALSE(first.error) << first.error.description;
  const std::string directory = Utf8FromPath(PathFromUtf8(first.path).parent_path());
  EXPECT_TRUE(PathLiesUnder(directory, TempDirectory()));
  EXPECT_EQ(testing::ReadWholeFile(first.path), "probe");
  const PrivateFile again = WritePrivateTempFile("probe.txt", {"again"});
  EXPECT_FALSE(again.error) << "an existing directory of our own is used again";
  EXPECT_EQ(again.path, first.path);
  EXPECT_EQ(testing::ReadWholeFile(first.path), "again");
  // A file in its place is not a directory of ours. The real directory (it may hold the user's last
  // report) is moved aside meanwhile and put back.
  const std::wstring aside = WidePath(directory) + L".aside";
  ASSERT_TRUE(MoveFileW(WidePath(directory).c_str(), aside.c_str()));
  { std::ofstream(PathFromUtf8(directory)) << "planted"; }
  const PrivateFile refused = WritePrivateTempFile("probe.txt", {"x"});
  EXPECT_TRUE(refused.error.failed());
  EXPECT_NE(refused.error.description.find(directory + " is not a directory"), std::string::npos)
      << refused.error.description;
  EXPECT_EQ(testing::ReadWholeFile(directory), "planted");
  std::filesystem::remove(PathFromUtf8(directory));
  EXPECT_TRUE(MoveFileW(aside.c_str(), WidePath(directory).c_str()));
  std::filesystem::remove(PathFromUtf8(first.path));
}

TEST(WindowsVersion, TheKernelsVersionNotTheCompatibilityOne) {
  const SystemVersion version = CurrentSystemVersion();
  EXPECT_GE(version.major, 6u);
  EXPECT_GT(version.build, 0u);
  // What the kernel itself says, whatever GetVersionExW would claim for a program without a manifest.
  using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  const auto rtl = reinterpret_cast<RtlGetVersion>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(rtl, nullptr);
  OSVERSIONINFOEXW kernel{};
  kernel.dwOSVersionInfoSize = sizeof kernel;
  ASSERT_EQ(rtl(&kernel), 0);
  EXPECT_EQ(version.major, kernel.dwMajorVersion);
  EXPECT_EQ(version.minor, kernel.dwMinorVersion);
  EXPECT_EQ(version.build, kernel.dwBuildNumber);
}

TEST(WindowsLanguage, TheUserInterfaceLanguageIdentifier) {
  EXPECT_EQ(UserUiLanguageId(), std::optional<uint16_t>(GetUserDefaultUILanguage()));
  EXPECT_EQ(UserMessagesLocale(), "");
}

TEST(WindowsLocale, NumbersAndDatesInTheUsersFormat) {
  const UserLocale& locale = SystemLocale();
  wchar_t separator[8] = {};
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  EXPECT_EQ(locale.Numbers().decimal_separator, Utf8FromWide(separator));
  const DateTimePatterns patterns = locale.DateTime();
  EXPECT_FALSE(patterns.date_format.empty());
  EXPECT_FALSE(patterns.time_format.empty());

  // 2021-03-04 05:06:07 UTC, written in local time with fixed pictures.
  const std::time_t when = 1614834367;
  const ULONGLONG ticks = static_cast<ULONGLONG>(when) * 10000000ULL + 116444736000000000ULL;
  const FILETIME utc_file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{}, local{};
  ASSERT_TRUE(FileTimeToSystemTime(&utc_file, &utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
  char expected[64];
  std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d", local.wYear, local.wMonth, local.wDay,
                local.wHour, local.wMinute, local.wSecond);
  EXPECT_EQ(locale.FormatLocalTime("yyyy-MM-dd HH:mm:ss", when), expected);
  // Date and time pictures mixed, with quoted text that holds picture letters.
  EXPECT_EQ(locale.FormatLocalTime("'day' d, 'hm' H", when),
            "day " + std::to_string(local.wDay) + ", hm " + std::to_string(local.wHour));
  std::string long_pattern;
  for (int i = 0; i < 70; ++i) long_pattern += "yyyy ";
  // Never more than 255 bytes (Wine cuts the text itself, Windows leaves that to us).
  EXPECT_LE(locale.FormatLocalTime(long_pattern, when).size(), 255u);
  EXPECT_FALSE(locale.FormatLocalTime(patterns.date_format, when).empty());
}

}  // namespace
}  // namespace korvanel::platform
