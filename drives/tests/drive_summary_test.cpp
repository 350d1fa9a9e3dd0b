#include "drives/drive_summary.h"

#include <gtest/gtest.h>

#include "drives/disk_info.h"
#include "drives/drive_refresh.h"

namespace korvanel {
namespace {

DriveEntry SataDrive() {
  DriveEntry entry;
  entry.Model = "Samsung SSD 860 EVO 500GB";
  entry.SizeText = "500107862016";
  entry.Interface = "SATA";
  entry.Driver = "ahci";
  entry.Device = "/dev/sda2";
  entry.FreeBytes = uint64_t{120623722496};  // 112.34 GiB
  entry.TotalBytes = uint64_t{500107862016};
  return entry;
}

TEST(DriveSummary, FourLinesWithSizesDriverDeviceAndSpace) {
  EXPECT_EQ(BuildDriveSummary(SataDrive(), "ext4 - [data]"),
            " Samsung SSD 860 EVO 500GB [500G]\n"
            " 465.76 GB  SATA Driver: ahci\n"
            " Partition: (/dev/sda2) ext4 - [data]\n"
            " Free 112.34 GB of 465.76 GB");
}

TEST(DriveSummary, ControlCharactersFromOutsideAreShownNotObeyed) {
  // A label can retitle or clear a terminal with escape sequences; a mount point of another user's
  // FUSE mount can hold them too. Letters of any script stay as they are.
  DriveEntry entry = SataDrive();
  entry.Model = "Disk\x9b" "2J \xC2\x9B" "2J";
  entry.Device = "srv:/a\nb";
  EXPECT_EQ(BuildDriveSummary(entry, "ext4 - [\x1b]0;owned\x07 Daten \xC3\xA4\xE2\x82\xAC]"),
            " Disk\\x9B2J \\xC2\\x9B2J [500G]\n"
            " 465.76 GB  SATA Driver: ahci\n"
            " Partition: (srv:/a\\x0Ab) ext4 - [\\x1B]0;owned\\x07 Daten \xC3\xA4\xE2\x82\xAC]\n"
            " Free 112.34 GB of 465.76 GB");
  entry.Root = "/media/\x1b[2Jx";
  EXPECT_EQ(DriveItemText(entry), "/media/\\x1B[2Jx Disk\\x9B2J \\xC2\\x9B2J");
}

TEST(DriveSummary, FailedSpaceQueryAndMissingVolumeText) {
  DriveEntry entry = SataDrive();
  entry.FreeBytes = ~uint64_t{0};
  entry.TotalBytes = 0;
  const std::string summary = BuildDriveSummary(entry, "");
  EXPECT_NE(summary.find("\n Partition: (/dev/sda2) \n"), std::string::npos);
  EXPECT_TRUE(summary.ends_with(" Free -0.00 GB of 0.00 GB")) << summary;
}

TEST(VolumeSummary, ADriveWithoutADiskShowsFileSystemSizeAndSpace) {
  DriveEntry tmpfs;
  tmpfs.Device = "tmpfs";
  tmpfs.FileSystem = "tmpfs";
  tmpfs.TotalBytes = uint64_t{12582912000};
  tmpfs.FreeBytes = uint64_t{12582912000} - (uint64_t{5} << 30);
  EXPECT_EQ(BuildVolumeSummary(tmpfs, "tmpfs", true),
            " tmpfs\n 11.72 GB\n Partition: (tmpfs) tmpfs\n Free 6.72 GB of 11.72 GB");
  // ramfs (and tmpfs with size=0) set no size: nothing of a size is shown then.
  DriveEntry ramfs;
  ramfs.Device = "none";
  ramfs.FileSystem = "ramfs";
  EXPECT_EQ(BuildVolumeSummary(ramfs, "ramfs", true), " ramfs\n Partition: (none) ramfs");
  // Space that was not asked (a network drive) is not shown as zero.
  DriveEntry nfs = tmpfs;
  nfs.Device = "srv:/export\x1b[2J";
  nfs.FileSystem = "nfs4";
  EXPECT_EQ(BuildVolumeSummary(nfs, "nfs4 - [backup]", false), " nfs4\n Partition: (srv:/export\\x1B[2J) nfs4 - [backup]");
}

TEST(DriveSummary, SizeTextParsesLikeStrtoll) {
  EXPECT_EQ(ParseSizeText("  512abc"), 512);  // leading blanks, stops at the first non-digit
  EXPECT_EQ(ParseSizeText(""), 0);
  EXPECT_EQ(ParseSizeText("99999999999999999999999"), INT64_MAX);  // saturates
  EXPECT_EQ(DecimalSizeText(0), "0");
  EXPECT_EQ(DecimalSizeText(1999999999), "2");  // rounded, not cut
  EXPECT_EQ(BinarySizeText(0), "0.00 GB ");
}

class DiskLookups : public ::testing::Test {
 protected:
  struct Source : DiskSource {
    std::optional<std::vector<DiskInfoEntry>> disks;
    std::optional<std::vector<DiskInfoEntry>> ListDisks() override { return disks; }
  };

  void SetUp() override {
    source_.disks = std::vector<DiskInfoEntry>{
        {"Disk A", "SN-A", 4, "100", "NVMe", "nvme", {"/", "/home"}},
        {"Disk B", "", 7, "200", "USB", "", {"/media/stick", "/home"}},
    };
    info_.Enumerate(source_);
  }

  Source source_;
  CDiskInfo info_;
};

TEST_F(DiskLookups, FieldsByIndexWithDefaultsForUnknownIndex) {
  EXPECT_EQ(info_.GetModel(7), "Disk B");
  EXPECT_EQ(info_.GetSerialNumber(7), "");  // found but empty stays empty
  EXPECT_EQ(info_.GetScsiDriver(7), "?");   // except the driver
  EXPECT_EQ(info_.GetScsiDriver(4), "nvme");
  EXPECT_EQ(info_.GetModel(0), "No-Name");
  EXPECT_EQ(info_.GetSerialNumber(0), "No-SN");
  EXPECT_EQ(info_.GetInterfaceType(0), "No-Name");
  EXPECT_EQ(info_.GetSize(0), "0");
  EXPECT_EQ(info_.GetScsiDriver(0), "?");
}

TEST_F(DiskLookups, MountPointsMatchWholeAndFirstDiskWins) {
  EXPECT_EQ(info_.FindByMountPoint("/home")->Model, "Disk A");
  EXPECT_EQ(info_.FindByMountPoint("/media/stick")->Model, "Disk B");
  EXPECT_EQ(info_.FindByMountPoint("/media"), nullptr);  // a prefix is not a mount point
  EXPECT_EQ(info_.FindByMountPoint("/mnt"), nullptr);
}

TEST_F(DiskLookups, FailedEnumerationKeepsTheListAndANewOneReplacesIt) {
  source_.disks.reset();
  info_.Enumerate(source_);
  EXPECT_EQ(info_.Count(), 2);
  source_.disks = std::vector<DiskInfoEntry>{{"Disk C", "", 0, "1", "SATA", "ahci", {"/"}}};
  info_.Enumerate(source_);
  EXPECT_EQ(info_.Count(), 1);
  EXPECT_EQ(info_.FindByMountPoint("/home"), nullptr);
}

}  // namespace
}  // namespace korvanel
