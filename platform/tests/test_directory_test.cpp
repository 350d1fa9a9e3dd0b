// The test directory on a real file system: another user who may write to the drive's directory
// renames ours and puts a link to a directory elsewhere in its place. Files must follow our
// directory, never the name.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "common/testing/scratch.h"
#include "platform/storage.h"

namespace korvanel::platform {
namespace {

namespace fs = std::filesystem;
using testing::EntryCount;
using testing::ReadWholeFile;
using testing::ScratchDir;

class TestDirectoryTest : public ::testing::Test {
 protected:
  std::unique_ptr<TestDirectory> Create(const std::string& name, SysError* error) {
    return SystemStorage().CreateTestDirectory(drive_.path(), name, error);
  }
  void WriteFile(TestDirectory& directory, const std::string& name) {
    SysError error;
    auto file = directory.CreateFile(name, false, &error);
    ASSERT_TRUE(file) << error.description;
    ASSERT_FALSE(file->Write("data", 4, 0));
    ASSERT_FALSE(file->Close());
  }

  ScratchDir drive_;
  ScratchDir elsewhere_;
  std::string path_ = drive_ / "KorvanelTEST";
  std::string moved_ = drive_ / "moved";
};

TEST_F(TestDirectoryTest, FilesFollowTheDirectoryWhenItsNameIsSwappedForALink) {
  SysError error;
  auto directory = Create("KorvanelTEST", &error);
  ASSERT_TRUE(directory) << error.description;
  struct stat info{};
  ASSERT_EQ(stat(path_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0700u);
  EXPECT_FALSE(directory->CheckInPlace());

  ASSERT_EQ(rename(path_.c_str(), moved_.c_str()), 0);
  ASSERT_EQ(symlink(elsewhere_.path().c_str(), path_.c_str()), 0);
  const SysError moved = directory->CheckInPlace();
  EXPECT_EQ(moved.code, ESTALE);
  EXPECT_NE(moved.description.find("(it is now " + moved_ + ")"), std::string::npos) << moved.description;

  WriteFile(*directory, "Korvanel1.tmp");
  EXPECT_EQ(EntryCount(elsewhere_.path()), 0u);
  EXPECT_EQ(ReadWholeFile(moved_ + "/Korvanel1.tmp"), "data");
  auto opened = directory->OpenFile("Korvanel1.tmp", AccessHint::kRandom, false, &error);
  ASSERT_TRUE(opened) << error.description;
  opened->Close();
  EXPECT_FALSE(directory->RemoveFile("Korvanel1.tmp"));
  EXPECT_TRUE(fs::is_empty(moved_));

  // Removal goes by the name it was made with, which now holds someone else's link: refused.
  EXPECT_EQ(directory->Remove().code, ESTALE);
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_TRUE(fs::is_directory(elsewhere_.path()));

  // Put back in its place, it is removed as usual.
  ASSERT_EQ(unlink(path_.c_str()), 0);
  ASSERT_EQ(rename(moved_.c_str(), path_.c_str()), 0);
  EXPECT_FALSE(directory->Remove());
  EXPECT_FALSE(fs::exists(path_));
}

TEST_F(TestDirectoryTest, ATakenNameIsNeverUsed) {
  ASSERT_EQ(mkdir(path_.c_str(), 0777), 0);
  SysError error;
  EXPECT_FALSE(Create("KorvanelTEST", &error));
  EXPECT_EQ(error.code, EEXIST);
  ASSERT_EQ(symlink(elsewhere_.path().c_str(), (drive_ / "KorvanelLINK").c_str()), 0);
  EXPECT_FALSE(Create("KorvanelLINK", &error));
  EXPECT_EQ(error.code, EEXIST);
  EXPECT_EQ(EntryCount(elsewhere_.path()), 0u);
}

}  // namespace
}  // namespace korvanel::platform
