// Disks this machine does not have (NVMe, USB stick, SD card, SATA under LVM, a disk without
// partitions), built as a sysfs tree with the mount table of a typical desktop.
#include "drives/tests/sysfs_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drives/drive_list.h"
#include "drives/drive_listing.h"
#include "drives/drive_summary.h"
#include "drives/linux/disk_probe.h"
#include "drives/linux/linux_drive_system.h"

namespace korvanel {
namespace {

using testing::SysfsFixture;

constexpr const char* kNvme = "sys/devices/pci0000:00/0000:00:04.0/nvme/nvme0/nvme0n1";
constexpr const char* kUsbDisk =
    "sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/host2/target2:0:0/2:0:0:0/block/sdb";
constexpr const char* kSdCard =
    "sys/devices/pci0000:00/0000:00:1a.0/mmc_host/mmc0/mmc0:aaaa/block/mmcblk0";
constexpr const char* kSata =
    "sys/devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda";
constexpr const char* kVirtio = "sys/devices/pci0000:00/0000:00:05.0/virtio3/block/vdb";

void AddNvmeDisk(SysfsFixture& tree) {
  tree.Device("sys/devices/pci0000:00/0000:00:04.0", "pci", "nvme");
  const std::string controller = "sys/devices/pci0000:00/0000:00:04.0/nvme/nvme0";
  tree.Device(controller, "nvme", "");
  tree.File(controller + "/model", "Samsung SSD 980 1TB                     \n");
  tree.File(controller + "/serial", "S64ANS0T123456      \n");
  tree.File(controller + "/transport", "pcie\n");
  tree.Disk(kNvme, "259:0", 1953525168);
  tree.Link(std::string(kNvme) + "/device", controller);
  tree.Partition(kNvme, "nvme0n1p1", "259:1");
  tree.Partition(kNvme, "nvme0n1p2", "259:2");
}

void AddUsbStick(SysfsFixture& tree) {
  const std::string bus = "sys/devices/pci0000:00/0000:00:14.0";
  tree.Device(bus, "pci", "xhci_hcd");
  tree.Device(bus + "/usb1", "usb", "usb");
  tree.Device(bus + "/usb1/1-1", "usb", "usb");
  tree.File(bus + "/usb1/1-1/serial", "4C530001234567\n");
  tree.Device(bus + "/usb1/1-1/1-1:1.0", "usb", "usb-storage");
  const std::string host = bus + "/usb1/1-1/1-1:1.0/host2";
  tree.Device(host, "scsi", "");
  tree.File(host + "/scsi_host/host2/proc_name", "usb-storage\n");
  const std::string lun = host + "/target2:0:0/2:0:0:0";
  tree.Device(lun, "scsi", "sd");
  tree.File(lun + "/vendor", "SanDisk \n");
  tree.File(lun + "/model", "Cruzer Blade    \n");
  tree.File(lun + "/type", "0\n");
  tree.Disk(kUsbDisk, "8:16", 60063744, /*removable=*/true);
  tree.Link(std::string(kUsbDisk) + "/device", lun);
  tree.Partition(kUsbDisk, "sdb1", "8:17");
}

void AddSdCard(SysfsFixture& tree) {
  const std::string host = "sys/devices/pci0000:00/0000:00:1a.0";
  tree.Device(host, "pci", "sdhci-pci");
  tree.Device(host + "/mmc_host/mmc0", "mmc_host", "");
  const std::string card = host + "/mmc_host/mmc0/mmc0:aaaa";
  tree.Device(card, "mmc", "mmcblk");
  tree.File(card + "/name", "SD64G\n");
  tree.File(card + "/serial", "0x1234abcd\n");
  // SD cards report removable 0; the MMC bus makes them removable drives.
  tree.Disk(kSdCard, "179:0", 124735488);
  tree.Link(std::string(kSdCard) + "/device", card);
  tree.Partition(kSdCard, "mmcblk0p1", "179:1");
}

std::string VpdSerialPage(const std::string& serial) {
  std::string page("\0\x80\0", 3);
  page += static_cast<char>(serial.size());
  return page + serial;
}

void AddSataDiskUnderLvm(SysfsFixture& tree) {
  const std::string controller = "sys/devices/pci0000:00/0000:00:1f.2";
  tree.Device(controller, "pci", "ahci");
  tree.File(controller + "/ata1/host0/scsi_host/host0/proc_name", "ahci\n");
  const std::string lun = controller + "/ata1/host0/target0:0:0/0:0:0:0";
  tree.Device(lun, "scsi", "sd");
  tree.File(lun + "/vendor", "ATA     \n");
  tree.File(lun + "/model", "Samsung SSD 860 \n");
  tree.File(lun + "/vpd_pg80", VpdSerialPage("S3Z9NB0K123456X     "));
  tree.Disk(kSata, "8:0", 976773168);
  tree.Link(std::string(kSata) + "/device", lun);
  tree.Partition(kSata, "sda1", "8:1");
  tree.Partition(kSata, "sda2", "8:2");
  const std::string mapper = "sys/devices/virtual/block/dm-0";
  tree.Disk(mapper, "253:0", 900000000);
  tree.File(mapper + "/dm/name", "vg-data\n");
  tree.Link(mapper + "/slaves/sda2", std::string(kSata) + "/sda2");
}

void AddVirtioDisk(SysfsFixture& tree) {
  tree.Device("sys/devices/pci0000:00/0000:00:05.0", "pci", "virtio-pci");
  tree.Device("sys/devices/pci0000:00/0000:00:05.0/virtio3", "virtio", "virtio_blk");
  tree.Disk(kVirtio, "252:16", 41943040);
  tree.Link(std::string(kVirtio) + "/device", "sys/devices/pci0000:00/0000:00:05.0/virtio3");
  tree.File(std::string(kVirtio) + "/serial", "KV-DATA-01\n");
}

// A desktop's mount table: system mounts, an over-mounted /dev/shm, a bind mount, network mounts,
// a snap image, a read-only disk and a read-only tmpfs.
constexpr const char* kMountTable =
    "22 1 0:21 / /proc rw,relatime - proc proc rw\n"
    "23 1 0:22 / /sys rw - sysfs sysfs rw\n"
    "25 1 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
    "26 1 0:24 / /run rw - tmpfs tmpfs rw\n"
    "27 1 259:2 / / rw,relatime - ext4 /dev/nvme0n1p2 rw\n"
    "28 27 259:1 / /boot/efi rw - vfat /dev/nvme0n1p1 rw\n"
    "29 27 253:0 / /data rw - xfs /dev/mapper/vg-data rw\n"
    "30 1 0:27 / /dev/shm rw - tmpfs tmpfs rw\n"
    "31 27 253:0 /sub /srv/data-bind rw - xfs /dev/mapper/vg-data rw\n"
    "32 27 8:17 / /media/user/STICK\\040ONE rw shared:5 - vfat /dev/sdb1 rw\n"
    "33 27 179:1 / /media/user/sd rw - exfat /dev/mmcblk0p1 rw\n"
    "34 27 252:16 / /srv ro - ext4 /dev/vdb ro\n"
    "35 27 0:40 / /mnt/nfs rw - nfs4 server:/export rw\n"
    "36 27 0:41 / /home/u/remote rw - fuse.sshfs u@host: rw\n"
    "37 27 0:42 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
    "38 27 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
    "39 27 0:43 / /tmp rw - tmpfs tmpfs rw\n"
    "40 27 0:44 / /mnt/ro-ram ro - tmpfs tmpfs ro\n"
    "41 23 0:45 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "this line is not a mount\n";

class FixtureMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    AddNvmeDisk(tree_);
    AddUsbStick(tree_);
    AddSdCard(tree_);
    AddSataDiskUnderLvm(tree_);
    AddVirtioDisk(tree_);
    tree_.MountTable(kMountTable);
    tree_.File("dev/nvme0n1p1", "");
    tree_.Link("dev/disk/by-label/EFI\\x20BOOT", "dev/nvme0n1p1");
  }

  SysfsFixture tree_;
  LinuxDriveSystem system_{tree_.Roots()};
};

TEST_F(FixtureMachine, ListsTestableFileSystemsOncePerFileSystemOrderedByMountPoint) {
  struct Expected {
    std::string root;
    std::string device;
    DriveKind kind;
  };
  const std::vector<Expected> expected = {
      {"/", "/dev/nvme0n1p2", DriveKind::kFixed},
      {"/boot/efi", "/dev/nvme0n1p1", DriveKind::kFixed},
      {"/data", "/dev/mapper/vg-data", DriveKind::kFixed},  // its bind mount is not listed
      {"/dev/shm", "tmpfs", DriveKind::kRamDisk},           // the upper of two mounts
      {"/home/u/remote", "u@host:", DriveKind::kRemote},
      {"/media/user/STICK ONE", "/dev/sdb1", DriveKind::kRemovable},
      {"/media/user/sd", "/dev/mmcblk0p1", DriveKind::kRemovable},
      {"/mnt/nfs", "server:/export", DriveKind::kRemote},
      {"/srv", "/dev/vdb", DriveKind::kFixed},
      {"/tmp", "tmpfs", DriveKind::kRamDisk},
  };
  const std::vector<MountedDrive> drives = system_.ListDrives();
  ASSERT_EQ(drives.size(), expected.size());
  for (size_t i = 0; i < drives.size(); ++i) {
    SCOPED_TRACE(expected[i].root);
    EXPECT_EQ(drives[i].root, expected[i].root);
    EXPECT_EQ(drives[i].device, expected[i].device);
    EXPECT_EQ(drives[i].kind, expected[i].kind);
    EXPECT_EQ(drives[i].read_only, expected[i].root == "/srv");
  }
  EXPECT_EQ(drives[3].device_number, "0:27");
}

TEST_F(FixtureMachine, IdentifiesEachDiskAndTheMountsOnIt) {
  struct Expected {
    std::string model, serial, size, interface, driver;
    std::vector<std::string> mounts;
  };
  // Kernel-name order; the LVM volume is described through its SATA disk.
  const std::vector<Expected> expected = {
      {"Samsung SSD 860",
       "S3Z9NB0K123456X",
       "500107862016",
       "SATA",
       "ahci",
       {"/data", "/srv/data-bind"}},
      {"SanDisk Cruzer Blade",
       "4C530001234567",
       "30752636928",
       "USB",
       "usb-storage",
       {"/media/user/STICK ONE"}},
      {"VirtIO Block Device", "KV-DATA-01", "21474836480", "VirtIO", "virtio_blk", {"/srv"}},
      {"SD64G", "0x1234abcd", "63864569856", "MMC", "sdhci-pci", {"/media/user/sd"}},
      {"Samsung SSD 980 1TB",
       "S64ANS0T123456",
       "1000204886016",
       "NVMe",
       "nvme",
       {"/", "/boot/efi"}},
  };
  const std::optional<std::vector<DiskInfoEntry>> disks = system_.ListDisks();
  ASSERT_TRUE(disks);
  ASSERT_EQ(disks->size(), expected.size());
  for (size_t i = 0; i < disks->size(); ++i) {
    const DiskInfoEntry& disk = (*disks)[i];
    SCOPED_TRACE(expected[i].model);
    EXPECT_EQ(disk.Index, static_cast<int>(i));
    EXPECT_EQ(disk.Model, expected[i].model);
    EXPECT_EQ(disk.SerialNumber, expected[i].serial);
    EXPECT_EQ(disk.Size, expected[i].size);
    EXPECT_EQ(disk.InterfaceType, expected[i].interface);
    EXPECT_EQ(disk.Driver, expected[i].driver);
    EXPECT_EQ(disk.Letters, expected[i].mounts);
  }
}

TEST_F(FixtureMachine, RefreshDescribesDiskDrivesAndWhatIsKnownOfOthers) {
  DriveList list(system_);
  ASSERT_TRUE(list.Refresh());
  const std::vector<std::string> items = list.ItemTexts();
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items[0], "/ Samsung SSD 980 1TB");
  EXPECT_EQ(items[2], "/data Samsung SSD 860");
  EXPECT_EQ(items[7], "/mnt/nfs ");

  // /boot/efi does not exist on this machine, so its space query fails.
  EXPECT_EQ(SummaryBoxText(list.Table().Entry(1)),
            " Samsung SSD 980 1TB [1000G]\n"
            " 931.51 GB  NVMe Driver: nvme\n"
            " Partition: (/dev/nvme0n1p1) vfat - [EFI BOOT]\n"
            " Free -0.00 GB of 0.00 GB");
  EXPECT_EQ(list.Table().Entry(1).FreeBytes, ~uint64_t{0});
  EXPECT_EQ(SummaryBoxText(list.Table().Entry(7)), " nfs4\n Partition: (server:/export) nfs4");

  const std::string listing = FormatDriveListing(list.Table());
  EXPECT_NE(listing.find("2: /data Samsung SSD 860\n Samsung SSD 860 [500G]\n"), std::string::npos);
  EXPECT_NE(listing.find("\n\n7: /mnt/nfs \n nfs4\n Partition: (server:/export) nfs4\n"), std::string::npos);
}

// A loop device's model goes wherever a disk's model goes, the comparison site included: it says
// on which kind of file system its file lies, never where.
TEST(FixtureDisks, ALoopDeviceNamesTheFileSystemOfItsFileNeverItsPath) {
  SysfsFixture tree;
  tree.MountTable(
      "27 1 254:0 / / rw - ext4 /dev/vda rw\n"
      "28 27 0:33 / /home rw - btrfs /dev/vdb rw\n"
      "29 27 7:3 / /mnt/image rw - ext4 /dev/loop3 rw\n");
  const std::pair<std::string, const char*> loops[] = {
      {"loop3", "/home/anna/vm/disk.img\n"},
      {"loop4", "/home/anna/old image.img (deleted)\n"},
      {"loop5", "/srv/disk.img\n"},
  };
  for (const auto& [name, backing] : loops) {
    tree.Disk("sys/devices/virtual/block/" + name, "7:" + name.substr(4), 2048);
    tree.File("sys/devices/virtual/block/" + name + "/loop/backing_file", backing);
  }
  tree.Disk("sys/devices/virtual/block/loop6", "7:6", 2048);  // bound to no file
  const SystemRoots roots = tree.Roots();
  EXPECT_EQ(ProbeDisk(roots, "loop3").model, "Loop device (file on btrfs)");
  EXPECT_EQ(ProbeDisk(roots, "loop4").model, "Loop device (file on btrfs)");
  EXPECT_EQ(ProbeDisk(roots, "loop5").model, "Loop device (file on ext4)");
  EXPECT_EQ(ProbeDisk(roots, "loop6").model, "Loop device");
  EXPECT_EQ(ProbeDisk(roots, "loop3").interface, "Loop");
}

TEST(FixtureDisks, MissingSysfsGivesNoDiskListAndNoDrives) {
  SysfsFixture empty;
  SystemRoots roots = empty.Roots();
  roots.sysfs += "/absent";
  LinuxDriveSystem system(roots);
  EXPECT_FALSE(system.ListDisks());
  EXPECT_TRUE(system.ListDrives().empty());
}

}  // namespace
}  // namespace korvanel
