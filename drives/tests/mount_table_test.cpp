#include "drives/linux/mount_table.h"

#include <gtest/gtest.h>

#include "drives/linux/mount_filter.h"

namespace korvanel {
namespace {

TEST(MountTable, ParsesFieldsEscapesOptionalFieldsAndReadOnly) {
  const std::vector<MountRecord> records = ParseMountTable(
      "27 1 254:0 / / rw,relatime shared:1 master:2 - ext4 /dev/vda rw,discard\n"
      "40 27 0:44 / /mnt/My\\040Disk\\134x ro - vfat /dev/sdb\\0401 rw\n"
      "41 27 8:1 / /mnt/fs-ro rw - ext4 /dev/sda1 ro,errors=remount-ro\n"
      "42 27 8:x / /broken rw - ext4 /dev/sda1 rw\n"
      "43 27 8:2 / /no-separator rw ext4 /dev/sda2 rw\n");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].mount_id, 27);
  EXPECT_EQ(records[0].DeviceNumber(), "254:0");
  EXPECT_EQ(records[0].file_system, "ext4");
  EXPECT_EQ(records[0].source, "/dev/vda");
  EXPECT_FALSE(records[0].read_only);
  EXPECT_EQ(records[1].mount_point, "/mnt/My Disk\\x");
  EXPECT_EQ(records[1].source, "/dev/sdb 1");
  EXPECT_TRUE(records[1].read_only);  // the mount is read-only
  EXPECT_TRUE(records[2].read_only);  // the file system is
}

MountClass Classify(const std::string& type, const std::string& point, bool read_only = false) {
  MountRecord mount;
  mount.file_system = type;
  mount.mount_point = point;
  mount.read_only = read_only;
  return ClassifyMount(mount);
}

TEST(MountFilter, SortsMountsIntoWhatAUserWouldTest) {
  EXPECT_EQ(Classify("ext4", "/", true), MountClass::kBlock);  // read-only disks stay listed
  EXPECT_EQ(Classify("fuseblk", "/media/win"), MountClass::kBlock);
  EXPECT_EQ(Classify("cifs", "/mnt/share"), MountClass::kRemote);
  EXPECT_EQ(Classify("fuse.rclone", "/mnt/cloud"), MountClass::kRemote);
  EXPECT_EQ(Classify("fuse.portal", "/run/user/1000/doc"), MountClass::kSkip);
  EXPECT_EQ(Classify("iso9660", "/media/cdrom"), MountClass::kSkip);
  EXPECT_EQ(Classify("debugfs", "/sys/kernel/debug"), MountClass::kSkip);
  EXPECT_EQ(Classify("ramfs", "/mnt/ram"), MountClass::kRamDisk);
  EXPECT_EQ(Classify("tmpfs", "/dev"), MountClass::kSkip);
  EXPECT_EQ(Classify("tmpfs", "/run/lock"), MountClass::kSkip);
  EXPECT_EQ(Classify("tmpfs", "/running"), MountClass::kRamDisk);  // not below /run
}

}  // namespace
}  // namespace korvanel
