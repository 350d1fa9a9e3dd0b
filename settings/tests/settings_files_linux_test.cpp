// What only Linux puts at a settings path: FIFOs, devices, files and links of another user.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/testing/scratch.h"
#include "settings/settings.h"

namespace korvanel {
namespace {

namespace fs = std::filesystem;
using testing::ScopedEnv;
using testing::ScratchDir;

class SettingsFilesOnLinux : public ::testing::Test {
 protected:
  void SetUp() override { SetSettingsPath(file_); }
  void TearDown() override { SetSettingsPath(""); }

  ScratchDir dir_;
  std::string file_ = dir_ / "Korvanel.ini";
};

// People manage dotfiles with links, so a link is followed, but only one of the user's own to a
// regular file of the user's own: anything else could turn a settings write into a write to a
// file the link's maker chose.
TEST_F(SettingsFilesOnLinux, ALinkIsFollowedOnlyToARegularFileOfTheUsersOwn) {
  const std::string fifo = dir_ / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(fifo, file_);
  WriteSettingInt("lng", 2);
  EXPECT_TRUE(fs::is_fifo(fifo));
  fs::remove(file_);

  if (geteuid() != 0) GTEST_SKIP() << "files and links of another user need root to make";
  const std::string theirs = dir_ / "theirs.ini";
  std::ofstream(theirs) << "[Program]\nlng=1\n";
  ASSERT_EQ(chown(theirs.c_str(), testing::kOtherUser, testing::kOtherUser), 0);
  fs::create_symlink(theirs, file_);
  WriteSettingInt("lng", 2);
  EXPECT_EQ(testing::ReadWholeFile(theirs), "[Program]\nlng=1\n");
  struct stat info{};
  ASSERT_EQ(stat(theirs.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, testing::kOtherUser);
  fs::remove(file_);

  const std::string mine = dir_ / "mine.ini";
  std::ofstream(mine) << "[Program]\nlng=1\n";
  fs::create_symlink(mine, file_);
  ASSERT_EQ(lchown(file_.c_str(), testing::kOtherUser, testing::kOtherUser), 0);  // their link to our file
  WriteSettingInt("lng", 2);
  EXPECT_EQ(testing::ReadWholeFile(mine), "[Program]\nlng=1\n");
  EXPECT_TRUE(fs::is_symlink(file_));
}

TEST_F(SettingsFilesOnLinux, WhatIsNoRegularFileReadsAsDefaultsAndIsNeverReplaced) {
  const std::string fifo = dir_ / "a-fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::pair<std::string, std::string> problems[] = {{fifo, "not a regular file"},
                                                          {"/dev/zero", "not a regular file"},
                                                          {"/proc/self/mem", "Input/output error"}};
  for (const auto& [path, problem] : problems) {
    SetSettingsPath(path);
    EXPECT_EQ(ReadSettingInt("lng", 5), 5) << path;
    WriteSettingInt("lng", 1);
    EXPECT_EQ(SettingsFileProblem().description, problem);
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(testing::EntryCount(dir_.path()), 1u);
}

TEST(SettingsLocationOnLinux, ASettingsFileThatIsAFifoIsNeitherOpenedNorReplaced) {
  ScratchDir dir;
  // Opening a FIFO for writing waits for a reader that never comes.
  const std::string file = dir / "config/Korvanel/Korvanel.ini";
  fs::create_directories(fs::path(file).parent_path());
  ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
  ScopedEnv config("XDG_CONFIG_HOME", (dir / "config").c_str());
  LocateSettingsFile();
  EXPECT_EQ(SettingsPath(), file);
  EXPECT_EQ(ReadSettingInt("lng", 3), 3);
  EXPECT_TRUE(fs::is_fifo(file));
  SetSettingsPath("");
}

}  // namespace
}  // namespace korvanel
