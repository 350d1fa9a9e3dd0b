// The UTF-8/UTF-16 edge, checked against what Windows itself stores: names in other scripts must
// reach the file system unchanged and come back the same.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/path_text.h"
#include "common/testing/scratch.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

// Cyrillic, Greek, Chinese, Persian and a character beyond the Basic Multilingual Plane (a
// surrogate pair in UTF-16).
const std::string kNames[] = {"Тестовый диск", "Δοκιμή", "测试盘", "آزمایش", "disk \xF0\x9F\x92\xBE", "plain"};
const std::wstring kWideNames[] = {L"Тестовый диск", L"Δοκιμή", L"测试盘", L"آزمایش", L"disk \U0001F4BE", L"plain"};

TEST(WideText, ConvertsEveryScriptBothWays) {
  for (size_t i = 0; i < std::size(kNames); ++i) {
    EXPECT_EQ(WideFromUtf8(kNames[i]), kWideNames[i]) << kNames[i];
    EXPECT_EQ(Utf8FromWide(kWideNames[i]), kNames[i]) << kNames[i];
  }
  EXPECT_EQ(WideFromUtf8(""), L"");
  EXPECT_EQ(Utf8FromWide(L""), "");
}

TEST(WideText, InvalidUtf8BecomesReplacementCharacters) {
  // A lone continuation byte and a cut-off sequence never turn into some other valid name.
  const std::wstring wide = WideFromUtf8("a\x80z\xE6\xB5");
  EXPECT_EQ(wide.substr(0, 1), L"a");
  EXPECT_EQ(wide[1], L'\xFFFD');
  EXPECT_EQ(wide[2], L'z');
  EXPECT_EQ(wide.back(), L'\xFFFD');
}

TEST(WideText, PathsGetBackslashesExceptUnderTheLongPathPrefix) {
  EXPECT_EQ(WidePath("C:/Korvanel0012AB34/Korvanel0012AB35.tmp"), L"C:\\Korvanel0012AB34\\Korvanel0012AB35.tmp");
  EXPECT_EQ(WidePath("\\\\?\\C:\\a/b"), L"\\\\?\\C:\\a/b");
  EXPECT_EQ(WidePath("\\\\server\\share/x"), L"\\\\server\\share\\x");
}

TEST(WideText, NonLatinNamesReachTheFileSystemUnchanged) {
  testing::ScratchDir dir;
  ASSERT_FALSE(dir.path().empty());
  for (size_t i = 0; i < std::size(kNames); ++i) {
    // Made through the program's own UTF-8 path handling ...
    const std::string path = JoinPath(dir.path(), kNames[i]);
    ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(path))) << kNames[i];
    // ... and found by Windows under the exact UTF-16 name.
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = WidePath(dir.path()) + L"\\" + kWideNames[i];
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << kNames[i];
    FindClose(search);
    EXPECT_EQ(std::wstring(found.cFileName), kWideNames[i]);
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(path).filename()), kNames[i]);
  }
}

TEST(Win32Error, CarriesTheCodeAndTheSystemsText) {
  const SysError error = Win32Error(ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(error.code, 2);
  EXPECT_FALSE(error.description.empty());
  EXPECT_NE(error.description.back(), '\n');
  EXPECT_TRUE(error.Is(ENOENT));
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(LastWin32Error().code, 5);
}

TEST(Win32Error, ConditionsTheCoreTestsMapToWindowsCodes) {
  EXPECT_TRUE(Win32Error(ERROR_ALREADY_EXISTS).Is(EEXIST));
  EXPECT_TRUE(Win32Error(ERROR_FILE_EXISTS).Is(EEXIST));
  EXPECT_TRUE(Win32Error(ERROR_OPERATION_ABORTED).Is(ECANCELED));
  EXPECT_FALSE(Win32Error(ERROR_ACCESS_DENIED).Is(EEXIST));
  // Conditions the core raises itself read like any other Windows error.
  EXPECT_EQ(SysError::FromErrno(ETIMEDOUT).code, static_cast<int>(ERROR_TIMEOUT));
  EXPECT_EQ(SysError::FromErrno(EEXIST).code, static_cast<int>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(SysError::FromErrno(ENOSPC).description, Win32Error(ERROR_DISK_FULL).description);
  // One without a Windows counterpart keeps the C runtime's words.
  EXPECT_EQ(SysError::FromErrno(EISDIR).code, EISDIR);
  EXPECT_FALSE(SysError::FromErrno(EISDIR).description.empty());
}

}  // namespace
}  // namespace korvanel::platform
