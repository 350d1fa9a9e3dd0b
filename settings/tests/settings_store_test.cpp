#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "common/path_text.h"
#include "common/text_encoding.h"
#include "common/testing/scratch.h"
#include "settings/settings.h"
#include "settings/whole_file.h"

namespace korvanel {
namespace {

// Windows has no POSIX permission bits, and links there need a privilege that Wine does not offer.
constexpr bool kWindowsFileSystem = std::filesystem::path::preferred_separator == '\\';

namespace fs = std::filesystem;
using testing::ScratchDir;

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSettingsPath(file_); }
  void TearDown() override { SetSettingsPath(""); }

  void Write(const std::string& content) { std::ofstream(file_, std::ios::binary) << content; }
  std::string Content() const { return testing::ReadWholeFile(file_); }

  ScratchDir dir_;
  std::string file_ = dir_ / "Korvanel.ini";
};

TEST_F(SettingsStoreTest, IntegersReadByTheLeadingNumberRule) {
  Write(
      "[Program]\nempty=\nseven=7abc\nwords=abc\nneg=  -12x\nplus=+4\n"
      "huge=99999999999\ntiny=-99999999999\nbig=50\nsmall=-5\n");
  EXPECT_EQ(ReadSettingInt("empty", 5), 5);
  EXPECT_EQ(ReadSettingInt("missing", 5), 5);
  EXPECT_EQ(ReadSettingInt("seven", 5), 7);
  EXPECT_EQ(ReadSettingInt("words", 5), 0);
  EXPECT_EQ(ReadSettingInt("neg", 5), -12);
  EXPECT_EQ(ReadSettingInt("plus", 5), 4);
  EXPECT_EQ(ReadSettingInt("huge", 5), INT_MAX);
  EXPECT_EQ(ReadSettingInt("tiny", 5), INT_MIN);
  // Clamping needs both bounds.
  EXPECT_EQ(ReadSettingInt("big", 0, 0, 10), 10);
  EXPECT_EQ(ReadSettingInt("small", 0, 0, 10), 0);
  EXPECT_EQ(ReadSettingInt("big", 0, -1, 10), 50);
  EXPECT_EQ(ReadSettingInt("small", 0, 0, -1), -5);
}

TEST_F(SettingsStoreTest, TheStoredTestLengthIsOneOfTheFour) {
  EXPECT_EQ(ReadTestTimeSetting(), 1);  // none stored yet
  const std::pair<const char*, int> stored[] = {{"2", 2}, {"7", 3}, {"-4", 0}, {"99999999999", 3}, {"x", 0}};
  for (const auto& [text, expected] : stored) {
    Write(std::string("[Program]\ntest_time_id=") + text + "\n");
    EXPECT_EQ(ReadTestTimeSetting(), expected) << text;
  }
}

TEST_F(SettingsStoreTest, WithoutAFileOrPathReadsGiveDefaultsAndWritesNothing) {
  EXPECT_EQ(ReadSettingInt("lng", 3), 3);
  SetSettingsPath("");
  WriteSettingInt("lng", 1);
  std::string value = "stale";
  EXPECT_EQ(ReadSettingString("Program", "lng", value), 0);
  EXPECT_EQ(value, "");
  EXPECT_FALSE(fs::exists(file_));

  // An explicit path works without a settings path.
  const std::string other = dir_ / "other.ini";
  EXPECT_TRUE(WriteSettingString("Lang", "name", "Deutsch", other));
  EXPECT_EQ(ReadSettingString("lang", "NAME", value, other), 7);
  EXPECT_EQ(value, "Deutsch");
}

TEST_F(SettingsStoreTest, WritesKeepTheRestOfTheFileAndLeaveNoTemporaryFile) {
  const std::string before = "# mine\r\n[Window]\r\nx=1\r\n[Program]\r\nlng=2\r\n\r\n[Zeta]\r\nq";
  Write(before);
  // Windows has no POSIX permission bits to carry over; the rest holds there too.
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  if (!kWindowsFileSystem) fs::permissions(file_, mode);
  WriteSettingInt("test_time_id", 3);
  WriteSettingInt("lng", -7);
  EXPECT_EQ(Content(), "# mine\r\n[Window]\r\nx=1\r\n[Program]\r\nlng=-7\r\ntest_time_id=3\r\n\r\n[Zeta]\r\nq");
  EXPECT_EQ(ReadSettingInt("test_time_id", 1), 3);
  if (!kWindowsFileSystem) {
    EXPECT_EQ(fs::status(file_).permissions() & fs::perms::all, mode);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);
}

TEST_F(SettingsStoreTest, AWriteThroughALinkUpdatesItsTargetAndKeepsTheLink) {
  if (kWindowsFileSystem) GTEST_SKIP() << "symbolic links need a privilege on Windows";
  const std::string target = dir_ / "dotfiles.ini";
  std::ofstream(target) << "[Program]\nlng=1\n";
  fs::create_symlink(target, file_);
  WriteSettingInt("lng", 2);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(testing::ReadWholeFile(target), "[Program]\nlng=2\n");
}

// Whatever lies at the settings path, reading gives the defaults and nothing aborts, blocks, grows
// without bound or gets replaced.
// (What only one system has, a FIFO or a device, is in settings_files_*_test.cpp.)
TEST_F(SettingsStoreTest, WhatIsNoSmallRegularFileReadsAsDefaultsAndIsNeverReplaced) {
  const std::string directory = dir_ / "a-directory";
  fs::create_directory(PathFromUtf8(directory));
  const std::string large = dir_ / "large.ini";
  std::ofstream(PathFromUtf8(large), std::ios::binary) << "[Program]\nlng=4\n"
                                                       << std::string(kMaxSettingsFileBytes, ';') << "\n";
  const std::pair<std::string, std::string> problems[] = {{directory, "not a regular file"},
                                                          {large, "larger than 64 KiB"}};
  for (const auto& [path, problem] : problems) {
    SetSettingsPath(path);
    EXPECT_EQ(ReadSettingInt("lng", 5), 5) << path;
    WriteSettingInt("lng", 1);
    EXPECT_EQ(SettingsFileProblem().description, problem);
  }
  SetSettingsPath(dir_ / "not-yet.ini");
  EXPECT_FALSE(SettingsFileProblem());
  EXPECT_TRUE(fs::is_directory(PathFromUtf8(directory)));
  EXPECT_TRUE(fs::is_empty(PathFromUtf8(directory)));
  EXPECT_EQ(fs::file_size(PathFromUtf8(large)), 16 + kMaxSettingsFileBytes + 1);
  EXPECT_EQ(testing::EntryCount(dir_.path()), 2u);
}

TEST_F(SettingsStoreTest, FailedOrUnsafeWritesAreRefusedQuietly) {
  Write("[Program]\nlng=1\n");
  EXPECT_FALSE(WriteSettingString("Program", "lng", "2\n[Program]\nno_vol_label=1"));
  EXPECT_FALSE(WriteSettingString("Program", "lng\nx", "2"));
  EXPECT_EQ(Content(), "[Program]\nlng=1\n");

  SetSettingsPath(dir_ / "missing-dir/Korvanel.ini");
  WriteSettingInt("lng", 2);  // must neither throw nor create anything
  EXPECT_FALSE(fs::exists(dir_ / "missing-dir"));

  SetSettingsPath("/proc/Korvanel.ini");  // a directory nobody may create files in, root included
  WriteSettingInt("lng", 2);
  EXPECT_EQ(ReadSettingInt("lng", 5), 5);
}

TEST_F(SettingsStoreTest, AWriteThatWouldPassTheReadLimitIsRefusedAndSaysWhy) {
  // 65,530 bytes can be read; with a key added the file would pass 64 KiB, and from then on
  // nothing would be read or stored.
  const std::string head = "[Program]\nlng=2\n;";
  const std::string near_limit = head + std::string(65530 - head.size() - 1, 'x') + "\n";
  Write(near_limit);
  EXPECT_EQ(ReadSettingInt("lng", 5), 2);
  const SysError refused = WriteSettingInt("test_time_id", 3);
  EXPECT_TRUE(refused.failed());
  EXPECT_EQ(refused.description, "it would grow past 64 KiB, more than a settings file may hold");
  EXPECT_EQ(SettingsWriteProblem().description, refused.description);
  EXPECT_EQ(Content(), near_limit);
  EXPECT_EQ(ReadSettingInt("lng", 5), 2);
  // A change that keeps the size still fits, and clears the problem.
  EXPECT_FALSE(WriteSettingInt("lng", 3));
  EXPECT_FALSE(SettingsWriteProblem());
  EXPECT_EQ(ReadSettingInt("lng", 5), 3);
}

// Windows' profile functions read and write a Korvanel.ini in UTF-16 with its byte-order mark; a
// copy of it must not turn into a file of two encodings.
TEST_F(SettingsStoreTest, AUtf16FileIsReadAndWrittenInItsOwnEncoding) {
  const std::pair<ByteOrder, std::string> forms[] = {{ByteOrder::kLittleEndian, "\xFF\xFE"},
                                                     {ByteOrder::kBigEndian, "\xFE\xFF"}};
  for (const auto& [order, mark] : forms) {
    SCOPED_TRACE(mark[0] == '\xFF' ? "little-endian" : "big-endian");
    const auto utf16 = [order = order, mark = mark](const std::string& text) { return mark + *Utf8ToUtf16(text, order); };
    Write(utf16("[Program]\r\nlng=9\r\n; Grüße 日本 😀\r\n[Window]\r\nx=1\r\n"));
    EXPECT_EQ(ReadSettingInt("lng", 5), 9);
    EXPECT_FALSE(WriteSettingInt("test_time_id", 2));
    EXPECT_FALSE(WriteSettingInt("lng", 12));
    EXPECT_EQ(Content(), utf16("[Program]\r\nlng=12\r\n; Grüße 日本 😀\r\ntest_time_id=2\r\n[Window]\r\nx=1\r\n"));
    EXPECT_EQ(ReadSettingInt("test_time_id", 5), 2);
  }
  // Text that does not convert back unchanged (a lone surrogate) is read, but not rewritten.
  const std::string broken = "\xFF\xFE" + *Utf8ToUtf16Le("[Program]\r\nlng=4\r\n;") + std::string("\x00\xD8", 2) +
                             *Utf8ToUtf16Le("\r\n");
  Write(broken);
  EXPECT_EQ(ReadSettingInt("lng", 5), 4);
  EXPECT_EQ(WriteSettingInt("lng", 1).description, "its UTF-16 text does not convert back unchanged");
  EXPECT_EQ(Content(), broken);
}

TEST_F(SettingsStoreTest, ConcurrentWritersLoseNoUpdate) {
  constexpr int kThreads = 4;
  constexpr int kKeysEach = 25;
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([t] {
      for (int k = 0; k < kKeysEach; ++k) WriteSettingInt("k" + std::to_string(t * kKeysEach + k), k);
    });
  }
  for (std::thread& writer : writers) writer.join();
  for (int i = 0; i < kThreads * kKeysEach; ++i) {
    EXPECT_EQ(ReadSettingInt("k" + std::to_string(i), -1), i % kKeysEach) << i;
  }
}

}  // namespace
}  // namespace korvanel
