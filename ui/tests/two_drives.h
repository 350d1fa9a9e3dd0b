#pragma once
// A machine with two drives for the panel's tests: a SATA disk at /data and a USB stick. Scripted,
// since the tests need the same drives on every machine.

#include "drives/drive_system.h"

namespace korvanel::panel::testing {

class TwoDrives : public DriveSystem {
 public:
  std::vector<MountedDrive> ListDrives() override {
    return {{"/data", "/dev/sda1", "8:1", "ext4", DriveKind::kFixed, false},
            {"/media/stick", "/dev/sdb1", "8:17", "vfat", DriveKind::kRemovable, false}};
  }
  std::optional<std::vector<DiskInfoEntry>> ListDisks() override {
    return std::vector<DiskInfoEntry>{{"Disk A", "SN-A", 0, "500107862016", "SATA", "ahci", {"/data"}},
                                      {"Stick B", "SN-B", 1, "16000000000", "USB", "usb-storage", {"/media/stick"}}};
  }
  std::optional<VolumeInfo> QueryVolume(const std::string&) override { return VolumeInfo{"ext4", "DATA"}; }
  int64_t QueryDiskSpace(const std::string&, uint64_t* total) override {
    *total = uint64_t{1} << 34;
    return int64_t{1} << 33;
  }
  std::optional<MountedDrive> FindMountOf(const std::string&) override { return std::nullopt; }
};

}  // namespace korvanel::panel::testing
