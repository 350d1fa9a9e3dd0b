#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "common/testing/scratch.h"

namespace korvanel::platform {
namespace {

namespace fs = std::filesystem;

using testing::ScopedEnv;
using testing::ScratchDir;

class PrivateTempFileTest : public ::testing::Test {
 protected:
  std::string Expected() const { return root_ + "/korvanel-" + std::to_string(geteuid()); }
  // Writes a file into the private directory and returns the directory, or "" with `error` set.
  std::string WriteProbe(SysError* error) {
    const PrivateFile file = WritePrivateTempFile("probe.txt", {"pro", "be"});
    *error = file.error;
    EXPECT_TRUE(file.path.ends_with("/probe.txt")) << file.path;
    const std::string directory = file.path.substr(0, file.path.size() - std::string("/probe.txt").size());
    if (file.error) return "";
    EXPECT_EQ(testing::ReadWholeFile(file.path), "probe");
    return directory;
  }

  ScratchDir scratch_;
  std::string root_ = scratch_.path();
  ScopedEnv no_runtime_{"XDG_RUNTIME_DIR", nullptr};
};

TEST(PathsTest, ExecutablePathNamesThisTestProgram) {
  const std::string path = ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_EQ(fs::path(path).filename(), "korvanel_platform_tests");
}

TEST(PathsTest, TempAndConfigDirectoriesFollowTheEnvironment) {
  {
    ScopedEnv tmp("TMPDIR", nullptr);
    EXPECT_EQ(TempDirectory(), "/tmp");
  }
  {
    ScopedEnv tmp("TMPDIR", "/var/tmp//");
    EXPECT_EQ(TempDirectory(), "/var/tmp");
  }
  ScopedEnv home("HOME", "/home/someone/");
  {
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(UserConfigDirectory(), "/home/someone/.config");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", "relative/config");  // invalid by the XDG rules
    EXPECT_EQ(UserConfigDirectory(), "/home/someone/.config");
  }
  ScopedEnv config("XDG_CONFIG_HOME", "/srv/conf/");
  EXPECT_EQ(UserConfigDirectory(), "/srv/conf");
}

TEST_F(PrivateTempFileTest, CreatesAPrivateDirectoryOnceAndReusesIt) {
  ScopedEnv tmp("TMPDIR", root_.c_str());
  const mode_t old_mask = umask(0277);  // a mask that would strip our own bits
  SysError error;
  const std::string path = WriteProbe(&error);
  umask(old_mask);
  ASSERT_EQ(path, Expected()) << error.description;
  struct stat info{};
  ASSERT_EQ(lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 07777, 0700u);
  EXPECT_EQ(WriteProbe(&error), path);
  EXPECT_FALSE(error.failed());
}

TEST_F(PrivateTempFileTest, UsesTheRuntimeDirectoryWhenSet) {
  ScopedEnv runtime("XDG_RUNTIME_DIR", root_.c_str());
  SysError error;
  EXPECT_EQ(WriteProbe(&error), root_ + "/korvanel");
}

TEST_F(PrivateTempFileTest, RefusesAPlantedLinkWithoutTouchingItsTarget) {
  ScopedEnv tmp("TMPDIR", root_.c_str());
  const std::string target = root_ + "/elsewhere";
  ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
  ASSERT_EQ(symlink(target.c_str(), Expected().c_str()), 0);
  SysError error;
  EXPECT_EQ(WriteProbe(&error), "");
  EXPECT_TRUE(error.failed());
  EXPECT_TRUE(fs::is_empty(target));
}

TEST_F(PrivateTempFileTest, RefusesADirectoryOthersMayEnter) {
  ScopedEnv tmp("TMPDIR", root_.c_str());
  ASSERT_EQ(mkdir(Expected().c_str(), 0700), 0);
  ASSERT_EQ(chmod(Expected().c_str(), 0777), 0);
  SysError error;
  EXPECT_EQ(WriteProbe(&error), "");
  EXPECT_EQ(error.code, EACCES);
  EXPECT_EQ(error.description, "others may enter " + Expected());
}

TEST_F(PrivateTempFileTest, RefusesAnotherUsersDirectoryAndAPlainFile) {
  ScopedEnv tmp("TMPDIR", root_.c_str());
  std::FILE* file = std::fopen(Expected().c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  SysError error;
  EXPECT_EQ(WriteProbe(&error), "");
  EXPECT_EQ(error.code, ENOTDIR);
  EXPECT_EQ(error.description, Expected() + " is not a directory");

  if (geteuid() != 0) GTEST_SKIP() << "handing a directory to another user needs root";
  fs::remove(Expected());
  ASSERT_EQ(mkdir(Expected().c_str(), 0700), 0);
  ASSERT_EQ(chown(Expected().c_str(), testing::kOtherUser, testing::kOtherUser), 0);
  EXPECT_EQ(WriteProbe(&error), "");
  EXPECT_EQ(error.code, EACCES);
  EXPECT_EQ(error.description, Expected() + " belongs to another user");
}

}  // namespace
}  // namespace korvanel::platform
