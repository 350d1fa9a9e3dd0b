#include "platform/paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
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
    last_ = file;
    *error = file.error;
    EXPECT_TRUE(file.path.ends_with("/probe.txt")) << file.path;
    const std::string directory = file.path.substr(0, file.path.size() - std::string("/probe.txt").size());
    if (file.error) return "";
    EXPECT_EQ(testing::ReadWholeFile(file.path), "probe");
    return directory;
  }

  ScratchDir scratch_;
  std::string root_ = scratch_.path();
  PrivateFile last_;
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

// The home places the settings and, on a drive the user cannot write at its root, the test file: a
// relative $HOME would put them wherever the program was started, so the password database decides.
TEST(PathsTest, TheHomeIsAnAbsoluteHomeVariableElseThePasswordDatabasesEntry) {
  const passwd* entry = getpwuid(geteuid());
  if (entry == nullptr) GTEST_SKIP() << "this user has no entry in the password database";
  {
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(HomeDirectory(), "/home/someone");
  }
  for (const char* unusable : {"relative/home", "", static_cast<const char*>(nullptr)}) {
    ScopedEnv home("HOME", unusable);
    EXPECT_EQ(HomeDirectory(), entry->pw_dir) << (unusable ? unusable : "unset");
  }
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

// korvanel-<uid> has a name anyone can predict: whoever makes it first (another user, a link, a
// file) must not cost the user the report, the translation export or the panel's picture. The
// files go to a directory with an unpredictable name instead, kept for the next time, and the user
// is told where.
TEST_F(PrivateTempFileTest, ANameTakenBySomeoneElseIsPassedOverForAnUnpredictableOne) {
  ScopedEnv tmp("TMPDIR", root_.c_str());
  const std::string target = root_ + "/elsewhere";
  ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
  ASSERT_EQ(symlink(target.c_str(), Expected().c_str()), 0);
  SysError error;
  const std::string fallback = WriteProbe(&error);
  ASSERT_FALSE(error.failed()) << error.description;
  EXPECT_TRUE(fallback.starts_with(Expected() + "-") && fallback.size() == Expected().size() + 7) << fallback;
  struct stat info{};
  ASSERT_EQ(lstat(fallback.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 07777, 0700u);
  EXPECT_EQ(last_.notice, Expected() + " is not a directory; the file is in " + fallback + " instead");
  EXPECT_TRUE(fs::is_empty(target));
  EXPECT_TRUE(fs::is_symlink(Expected()));
  // The next file goes to the same place; no new directory each time.
  EXPECT_EQ(WriteProbe(&error), fallback);
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 3);
}

TEST_F(PrivateTempFileTest, ADirectoryOthersMayEnterOrAFileIsPassedOver) {
  ScopedEnv tmp("TMPDIR", root_.c_str());
  ASSERT_EQ(mkdir(Expected().c_str(), 0700), 0);
  ASSERT_EQ(chmod(Expected().c_str(), 0777), 0);
  SysError error;
  const std::string fallback = WriteProbe(&error);
  EXPECT_TRUE(fallback.starts_with(Expected() + "-")) << error.description;
  EXPECT_EQ(last_.notice, "others may enter " + Expected() + "; the file is in " + fallback + " instead");
  EXPECT_TRUE(fs::is_empty(Expected()));

  fs::remove_all(root_);
  fs::create_directory(root_);
  std::FILE* file = std::fopen(Expected().c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_TRUE(WriteProbe(&error).starts_with(Expected() + "-")) << error.description;
  EXPECT_TRUE(fs::is_regular_file(Expected()));
}

TEST_F(PrivateTempFileTest, AnotherUsersDirectoryIsPassedOverAndNeverReused) {
  if (geteuid() != 0) GTEST_SKIP() << "handing a directory to another user needs root";
  ScopedEnv tmp("TMPDIR", root_.c_str());
  ASSERT_EQ(chmod(root_.c_str(), 01777), 0);
  ASSERT_EQ(mkdir(Expected().c_str(), 0777), 0);
  ASSERT_EQ(chown(Expected().c_str(), testing::kOtherUser, testing::kOtherUser), 0);
  // A look-alike of the fallback, planted by the other user, is not taken either.
  const std::string planted = Expected() + "-AAAAAA";
  ASSERT_EQ(mkdir(planted.c_str(), 0700), 0);
  ASSERT_EQ(chown(planted.c_str(), testing::kOtherUser, testing::kOtherUser), 0);
  SysError error;
  const std::string fallback = WriteProbe(&error);
  EXPECT_TRUE(fallback.starts_with(Expected() + "-") && fallback != planted) << fallback << error.description;
  EXPECT_EQ(last_.notice, Expected() + " belongs to another user; the file is in " + fallback + " instead");
  EXPECT_TRUE(fs::is_empty(Expected()));
  EXPECT_TRUE(fs::is_empty(planted));
}

TEST_F(PrivateTempFileTest, ATemporaryDirectoryOthersMayRearrangeIsRefused) {
  // Without the sticky bit anyone could swap any directory in it for one of theirs.
  ScopedEnv tmp("TMPDIR", root_.c_str());
  ASSERT_EQ(chmod(root_.c_str(), 0777), 0);
  SysError error;
  EXPECT_EQ(WriteProbe(&error), "");
  EXPECT_EQ(error.code, EACCES);
  EXPECT_EQ(error.description, "others may replace what lies in " + root_);
  EXPECT_TRUE(fs::is_empty(root_));
}

}  // namespace
}  // namespace korvanel::platform
