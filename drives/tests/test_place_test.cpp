// Where the test directory goes on each drive, over a scripted system: which directories a user may
// write, where the home lies and which shared directories exist differ from machine to machine, and
// this one runs its tests as root, who may write everywhere.
#include "drives/test_place.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <set>

#include "drives/drive_list.h"

namespace korvanel {
namespace {

class PlacesSystem : public DriveSystem {
 public:
  std::vector<MountedDrive> drives;
  std::map<std::string, std::string> file_system_of;  // directory -> device number
  std::set<std::string> writable;
  std::string home;
  std::vector<std::string> shared;

  std::vector<MountedDrive> ListDrives() override { return drives; }
  std::optional<std::vector<DiskInfoEntry>> ListDisks() override { return std::vector<DiskInfoEntry>{}; }
  std::optional<VolumeInfo> QueryVolume(const std::string&) override { return std::nullopt; }
  int64_t QueryDiskSpace(const std::string&, uint64_t*) override { return -1; }
  std::optional<MountedDrive> FindMountOf(const std::string& path) override {
    const auto found = file_system_of.find(path);
    if (found == file_system_of.end()) return std::nullopt;
    return MountedDrive{"", "", found->second, "", DriveKind::kFixed, false};
  }
  SysError CheckCanCreateIn(const std::string& directory) override {
    return writable.count(directory) != 0 ? SysError{} : SysError{EACCES, "Permission denied"};
  }
  std::string HomeDirectory() override { return home; }
  std::vector<std::string> SharedTemporaryDirectories() override { return shared; }
};

DriveEntry Drive(const std::string& root, const std::string& number, bool read_only = false) {
  DriveEntry entry;
  entry.Root = root;
  entry.DeviceNumber = number;
  entry.ReadOnly = read_only;
  return entry;
}

class TestPlaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // "/" holds /home and /var/tmp; /tmp is a RAM disk of its own; /data belongs to another user.
    system_.file_system_of = {{"/", "8:2"},          {"/home/anna", "8:2"}, {"/var/tmp", "8:2"},
                              {"/tmp", "0:30"},      {"/data", "8:17"}};
    system_.home = "/home/anna";
    system_.shared = {"/var/tmp", "/tmp"};
    system_.writable = {"/home/anna", "/var/tmp", "/tmp"};
  }
  PlacesSystem system_;
};

TEST_F(TestPlaceTest, TheRootWhenWritableElseTheHomeOnItElseItsSharedTemporaryDirectory) {
  system_.writable.insert("/media/stick");
  EXPECT_EQ(ChooseTestPlace(system_, Drive("/media/stick", "8:33")).directory, "/media/stick");
  // "/" belongs to root: the home lies on it.
  EXPECT_EQ(ChooseTestPlace(system_, Drive("/", "8:2")).directory, "/home/anna");
  // Without a home there (or one the user cannot write), the shared directory on the same drive.
  system_.home = "/nonexistent";
  EXPECT_EQ(ChooseTestPlace(system_, Drive("/", "8:2")).directory, "/var/tmp");
  system_.home = "/home/anna";
  system_.writable.erase("/home/anna");
  EXPECT_EQ(ChooseTestPlace(system_, Drive("/", "8:2")).directory, "/var/tmp");
  // /tmp is writable but lies on another file system: it says nothing about "/".
  system_.writable.erase("/var/tmp");
  const TestPlace none = ChooseTestPlace(system_, Drive("/", "8:2"));
  EXPECT_EQ(none.directory, "");
  EXPECT_EQ(none.problem, "/: Permission denied; there is no folder on this drive you can write in");
}

TEST_F(TestPlaceTest, AnotherUsersDriveAndAReadOnlyOneHaveNoPlace) {
  const TestPlace foreign = ChooseTestPlace(system_, Drive("/data", "8:17"));
  EXPECT_EQ(foreign.directory, "");
  EXPECT_EQ(foreign.problem.rfind("/data: Permission denied", 0), 0u) << foreign.problem;
  // Read-only even where the permissions would allow writing.
  system_.writable.insert("/");
  const TestPlace read_only = ChooseTestPlace(system_, Drive("/", "8:2", /*read_only=*/true));
  EXPECT_EQ(read_only.directory, "");
  // In the system's own words: "Read-only file system" on Linux, "Write protected." on Windows.
  const std::string read_only_text = SysError::FromErrno(EROFS).description;
  ASSERT_FALSE(read_only_text.empty());
  EXPECT_NE(read_only.problem.find(read_only_text), std::string::npos) << read_only.problem;
}

TEST_F(TestPlaceTest, EveryRefreshGivesEachDriveItsPlace) {
  system_.drives = {{"/", "/dev/sda2", "8:2", "ext4", DriveKind::kFixed, false},
                    {"/data", "/dev/sdb1", "8:17", "ext4", DriveKind::kFixed, false},
                    {"/tmp", "tmpfs", "0:30", "tmpfs", DriveKind::kRamDisk, false}};
  DriveList list(system_);
  ASSERT_TRUE(list.Refresh());
  const std::vector<DriveEntry> entries = list.Table().Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].TestDirectory, "/home/anna");
  EXPECT_EQ(entries[1].TestDirectory, "");
  EXPECT_FALSE(entries[1].TestPlaceProblem.empty());
  EXPECT_EQ(entries[2].TestDirectory, "/tmp");
  EXPECT_EQ(entries[2].TestPlaceProblem, "");
}

}  // namespace
}  // namespace korvanel
