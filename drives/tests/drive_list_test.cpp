// The refresh and selection logic over a scripted drive system: a fake is used because only a fake
// can hold a refresh half-way and change the machine's drives between two refreshes on cue.
#include "drives/drive_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <future>
#include <mutex>

#include "drives/drive_listing.h"
#include "drives/drive_summary.h"

namespace korvanel {
namespace {

class ScriptedSystem : public DriveSystem {
 public:
  std::vector<MountedDrive> drives;
  std::vector<DiskInfoEntry> disks;
  std::map<std::string, MountedDrive> mount_of;  // FindMountOf answers by path

  // While held, ListDisks waits; lets a test look at the list during a refresh.
  void Hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
  }
  void Release() {
    {
      std::lock_guard lock(mutex_);
      held_ = false;
    }
    released_.notify_all();
  }
  void WaitUntilInside() {
    std::unique_lock lock(mutex_);
    released_.wait(lock, [&] { return inside_; });
  }

  std::vector<MountedDrive> ListDrives() override { return drives; }
  std::optional<std::vector<DiskInfoEntry>> ListDisks() override {
    std::unique_lock lock(mutex_);
    inside_ = true;
    released_.notify_all();
    released_.wait(lock, [&] { return !held_; });
    inside_ = false;
    return disks;
  }
  std::optional<VolumeInfo> QueryVolume(const std::string& root) override {
    for (const MountedDrive& drive : drives) {
      if (drive.root == root) return VolumeInfo{drive.file_system, root == "/" ? "L" : ""};
    }
    return std::nullopt;
  }
  int64_t QueryDiskSpace(const std::string& path, uint64_t* total) override {
    space_asked.push_back(path);
    *total = uint64_t{1} << 31;
    return int64_t{1} << 30;
  }
  std::vector<std::string> space_asked;
  std::optional<MountedDrive> FindMountOf(const std::string& path) override {
    auto it = mount_of.find(path);
    if (it == mount_of.end()) return std::nullopt;
    return it->second;
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  bool inside_ = false;
};

class DriveListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system_.drives = {{"/", "/dev/sda2", "8:2", "ext4", DriveKind::kFixed, false},
                      {"/mnt/nfs", "srv:/x", "0:40", "nfs4", DriveKind::kRemote, false}};
    system_.disks = {{"Disk A", "SN", 0, "500107862016", "SATA", "ahci", {"/"}}};
  }

  ScriptedSystem system_;
  DriveList list_{system_};
};

TEST_F(DriveListTest, SummaryBoxDescribesTheDiskOrWhatTheVolumeTells) {
  ASSERT_TRUE(list_.Refresh());
  const std::string disk = SummaryBoxText(list_.Table().Entry(0));
  EXPECT_TRUE(disk.starts_with(" Disk A [500G]\n")) << disk;
  EXPECT_EQ(SummaryBoxText(list_.Table().Entry(1)), " nfs4\n Partition: (srv:/x) nfs4");  // no disk claims it
  EXPECT_EQ(SummaryBoxText(list_.Table().Entry(5)), "No drive Info :-(");  // empty slot
}

TEST_F(DriveListTest, VolumeLabelOptionAndStaleIdentityAfterAChange) {
  list_.SetShowVolumeLabel(false);
  ASSERT_TRUE(list_.Refresh());
  EXPECT_NE(list_.Table().Entry(0).Summary.find("\n Partition: (/dev/sda2) ext4\n"),
            std::string::npos);
  EXPECT_EQ(list_.Table().Entry(0).VolumeLabel, "L");  // still known, only not shown

  // The disk goes away: the drive must not keep describing a disk it is no longer on.
  system_.disks.clear();
  ASSERT_TRUE(list_.Refresh());
  const DriveEntry entry = list_.Table().Entry(0);
  EXPECT_EQ(entry.Model, "");
  EXPECT_EQ(entry.Summary.find("Disk A"), std::string::npos) << entry.Summary;
  EXPECT_EQ(entry.FileSystem, "ext4");  // from the mount table
  EXPECT_EQ(list_.ItemTexts(), (std::vector<std::string>{"/ ", "/mnt/nfs "}));
}

TEST_F(DriveListTest, ADriveWithoutADiskShowsWhatItsVolumeTells) {
  // tmpfs: no disk, but its file system, size and free space are known. A network drive is
  // described without its space: asking a server that does not answer would hold up the refresh.
  system_.drives.push_back({"/dev/shm", "tmpfs", "0:25", "tmpfs", DriveKind::kRamDisk, false});
  ASSERT_TRUE(list_.Refresh());
  const DriveEntry ram = list_.Table().Entry(2);
  EXPECT_EQ(ram.FreeBytes, uint64_t{1} << 30);
  EXPECT_EQ(ram.TotalBytes, uint64_t{1} << 31);
  EXPECT_EQ(ram.Summary, " tmpfs\n 2.00 GB\n Partition: (tmpfs) tmpfs\n Free 1.00 GB of 2.00 GB");
  const DriveEntry nfs = list_.Table().Entry(1);
  EXPECT_EQ(nfs.Summary, " nfs4\n Partition: (srv:/x) nfs4");
  EXPECT_EQ(nfs.FreeBytes, 0u);
  EXPECT_EQ(std::count(system_.space_asked.begin(), system_.space_asked.end(), "/mnt/nfs"), 0);
  // A label is named when there is one: never as empty brackets.
  EXPECT_EQ(ram.Summary.find("[]"), std::string::npos);
}

TEST_F(DriveListTest, RefreshNeverRunsTwiceAndReadersSeeOnlyWholeTables) {
  ASSERT_TRUE(list_.Refresh());
  system_.drives.push_back({"/srv", "/dev/sdb1", "8:17", "xfs", DriveKind::kFixed, false});
  system_.Hold();
  std::promise<void> done;
  ASSERT_TRUE(list_.StartRefresh([&] { done.set_value(); }));
  system_.WaitUntilInside();

  EXPECT_TRUE(list_.IsRefreshing());
  EXPECT_FALSE(list_.Refresh());
  EXPECT_FALSE(list_.StartRefresh(nullptr));
  EXPECT_EQ(list_.Table().Count(), 2);  // the old table, complete
  EXPECT_EQ(list_.Table().Entry(0).Model, "Disk A");

  system_.Release();
  done.get_future().wait();
  list_.WaitForRefresh();
  EXPECT_FALSE(list_.IsRefreshing());
  EXPECT_EQ(list_.Table().Count(), 3);
  EXPECT_TRUE(list_.StartRefresh(nullptr));  // a finished refresh does not block the next
  list_.WaitForRefresh();
}

TEST_F(DriveListTest, TableHoldsAtMost32Drives) {
  system_.drives.clear();
  for (int i = 0; i < 40; ++i) {
    system_.drives.push_back({"/m" + std::to_string(i), "tmpfs", "0:" + std::to_string(i), "tmpfs",
                              DriveKind::kRamDisk, false});
  }
  ASSERT_TRUE(list_.Refresh());
  EXPECT_EQ(list_.Table().Count(), 32);
}

TEST_F(DriveListTest, FindDriveByIndexOrByTheMountHoldingAPath) {
  ASSERT_TRUE(list_.Refresh());
  system_.mount_of["/home/u"] = {"/", "/dev/sda2", "8:2", "ext4", DriveKind::kFixed, false};
  // A bind mount of / that the list does not show: matched by its file system.
  system_.mount_of["/srv/bind/x"] = {"/srv/bind", "/dev/sda2",       "8:2",
                                     "ext4",      DriveKind::kFixed, false};
  system_.mount_of["/sys/kernel"] = {"/sys", "sysfs", "0:22", "sysfs", DriveKind::kFixed, false};

  EXPECT_EQ(FindDrive(list_.Table(), system_, "1"), 1);
  EXPECT_EQ(FindDrive(list_.Table(), system_, "2"), -1);
  EXPECT_EQ(FindDrive(list_.Table(), system_, "/home/u"), 0);
  EXPECT_EQ(FindDrive(list_.Table(), system_, "/srv/bind/x"), 0);
  EXPECT_EQ(FindDrive(list_.Table(), system_, "/sys/kernel"), -1);
  EXPECT_EQ(FindDrive(list_.Table(), system_, "/no/such/path"), -1);
}

}  // namespace
}  // namespace korvanel
