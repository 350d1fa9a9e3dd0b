// Reading and replacing small files on Windows: only regular files, never a device behind a name
// such as NUL or COM1, links only of the user's own, and a replacement that keeps the old file's
// own access rules. Another user's files and links need a second account, which Wine does not
// have: those cases are left to a real Windows machine.

#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

// <windows.h> maps ReplaceFile to ReplaceFileW; here it is the call under test.
#undef ReplaceFile

#include "common/path_text.h"
#include "common/testing/scratch.h"
#include "platform/files.h"
#include "platform/tests/windows/access_rules.h"
#include "platform/windows/owner_only_security.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/wine.h"

namespace korvanel::platform {
namespace {

using testing::EntryCount;
using testing::ReadWholeFile;

class WindowsFilesTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& content) {
    const std::string path = dir_ / name;
    std::ofstream(PathFromUtf8(path), std::ios::binary) << content;
    return path;
  }

  testing::ScratchDir dir_;
};

TEST_F(WindowsFilesTest, OnlyRegularFilesAreReadAndDevicesAreNeverOpened) {
  std::string content;
  EXPECT_FALSE(ReadRegularFile(Write("Настройки.ini", "[Program]\n"), 64, &content));
  EXPECT_EQ(content, "[Program]\n");
  EXPECT_EQ(ReadRegularFile(Write("large.ini", std::string(1025, 'x')), 1024, &content).description,
            "larger than 1 KiB");
  EXPECT_TRUE(content.empty());
  EXPECT_TRUE(ReadRegularFile(dir_ / "missing.ini", 1024, &content).Is(ENOENT));
  EXPECT_EQ(ReadRegularFile(dir_.path(), 1024, &content).description, "not a regular file");

  // A pipe that records whether anyone connected: opening a device is already acting on it.
  const std::wstring pipe = L"\\\\.\\pipe\\korvanel-test-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE server = CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1,
                                         512, 512, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  for (const std::string& device : {std::string("NUL"), std::string("con"), std::string("COM1"), dir_ / "nul.txt",
                                    dir_ / "CONOUT$", dir_ / "aux .ini", Utf8FromWide(pipe)}) {
    EXPECT_EQ(ReadRegularFile(device, 1024, &content).description, "not a regular file") << device;
  }
  OVERLAPPED connect{};
  connect.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_FALSE(ConnectNamedPipe(server, &connect));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING)) << "a client connected to the pipe";
  CancelIo(server);
  CloseHandle(connect.hEvent);
  CloseHandle(server);
}

TEST_F(WindowsFilesTest, ReplacementsAreNewFilesRenamedOverTheOldAndNothingElseIsReplaced) {
  const std::string page = Write("report.html", "old page");
  ASSERT_TRUE(CreateHardLinkW(WidePath(dir_ / "reader.html").c_str(), WidePath(page).c_str(), nullptr));
  EXPECT_FALSE(CheckReplaceable(page));
  ASSERT_FALSE(ReplaceFile(page, {"new ", "page"}));
  EXPECT_EQ(ReadWholeFile(page), "new page");
  EXPECT_EQ(ReadWholeFile(dir_ / "reader.html"), "old page") << "the old file was rewritten, not replaced";
  ASSERT_FALSE(ReplaceFile(dir_ / "Отчёт.html", {"created"}));
  EXPECT_EQ(ReadWholeFile(dir_ / "Отчёт.html"), "created");
  EXPECT_EQ(EntryCount(dir_.path()), 3u);

  std::filesystem::create_directory(PathFromUtf8(dir_ / "taken"));
  for (const std::string& refused : {dir_ / "taken", std::string("NUL"), dir_ / "con.html", dir_ / "COM1"}) {
    EXPECT_TRUE(CheckReplaceable(refused).failed()) << refused;
    EXPECT_EQ(ReplaceFile(refused, {"x"}).description, "not a regular file") << refused;
  }
  EXPECT_TRUE(ReplaceFile(dir_ / "missing/report.html", {"x"}).failed());
  EXPECT_TRUE(CheckReplaceable(dir_ / "missing/report.html").failed());
  EXPECT_EQ(EntryCount(dir_.path()), 4u) << "a temporary file was left";
  EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(dir_ / "taken")));
}

TEST_F(WindowsFilesTest, AReplacementKeepsTheOldFilesOwnAccessRules) {
  const std::string file = Write("Korvanel.ini", "[Program]\nlng=1\n");
  // The user alone, nothing inherited: as someone who keeps the settings private sets it.
  PSECURITY_DESCRIPTOR wanted = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW((L"D:P(A;;FA;;;" + CurrentUserSid() + L")").c_str(),
                                                                   SDDL_REVISION_1, &wanted, nullptr));
  BOOL present = FALSE, defaulted = FALSE;
  PACL wanted_dacl = nullptr;
  GetSecurityDescriptorDacl(wanted, &present, &wanted_dacl, &defaulted);
  const DWORD set = SetNamedSecurityInfoW(WidePath(file).data(), SE_FILE_OBJECT,
                                          DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                          nullptr, wanted_dacl, nullptr);
  LocalFree(wanted);
  ASSERT_EQ(set, static_cast<DWORD>(ERROR_SUCCESS));

  ASSERT_FALSE(ReplaceFile(file, {"[Program]\nlng=2\n"}));
  EXPECT_EQ(ReadWholeFile(file), "[Program]\nlng=2\n");
  if (RunningUnderWine()) GTEST_SKIP() << "Wine " << WineVersion() << " gives new files rules of its own";
  const AccessRules rules = ReadAccessRules(WidePath(file));
  ASSERT_TRUE(rules.read);
  EXPECT_TRUE(rules.protected_rules);
  EXPECT_EQ(rules.rule_count, 1u);
}

TEST_F(WindowsFilesTest, ALinkOfTheUsersOwnToTheirFileIsFollowedAndStays) {
  const std::string target = Write("dotfiles.ini", "[Program]\nlng=1\n");
  const std::string link = dir_ / "Korvanel.ini";
  constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE (developer mode)
  // Wine 8 answers success and makes nothing.
  if (!CreateSymbolicLinkW(WidePath(link).c_str(), WidePath(target).c_str(), kUnprivileged) ||
      GetFileAttributesW(WidePath(link).c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no symbolic links made here (error " << GetLastError()
                 << (RunningUnderWine() ? "; Wine makes none)" : ")");
  }
  std::string content;
  EXPECT_FALSE(ReadRegularFile(link, 64, &content));
  EXPECT_EQ(content, "[Program]\nlng=1\n");
  ASSERT_FALSE(ReplaceFile(link, {"[Program]\nlng=2\n"}));
  EXPECT_TRUE(std::filesystem::is_symlink(PathFromUtf8(link)));
  EXPECT_EQ(ReadWholeFile(target), "[Program]\nlng=2\n");
  EXPECT_EQ(EntryCount(dir_.path()), 2u);
}

}  // namespace
}  // namespace korvanel::platform
