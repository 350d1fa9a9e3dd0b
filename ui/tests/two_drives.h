#pragma once
// A machine with two drives for the panel's tests: a SATA disk at /data and a USB stick. Scripted,
// since the tests need the same drives on every machine. Every directory is the user's to write
// unless a test takes it away; /data holds the user's home and a shared temporary directory.

#include <cerrno>
#include <future>
#include <map>
#include <set>

#include "drives/drive_system.h"

namespace korvanel::panel::testing {

class TwoDrives : public DriveSystem {
 public:
  std::set<std::string> unwritable;
  std::string home = "/data/home/anna";
  // When set, asking for /data's space waits until it is ready: a drive that does not answer.
  std::shared_future<void> data_answers;

  std::vector<MountedDrive> ListDrives() override {
    return {{"/data", "/dev/sda1", "8:1", "ext4", DriveKind::kFixed, false},
            {"/media/stick", "/dev/sdb1", "8:17", "vfat", DriveKind::kRemovable, false}};
  }
  std::optional<std::vector<DiskInfoEntry>> ListDisks() override {
    return std::vector<DiskInfoEntry>{{"Disk A", "SN-A", 0, "500107862016", "SATA", "ahci", {"/data"}},
                                      {"Stick B", "SN-B", 1, "16000000000", "USB", "usb-storage", {"/media/stick"}}};
  }
  std::optional<VolumeInfo> QueryVolume(const std::string&) override { return VolumeInfo{"ext4", "DATA"}; }
  int64_t QueryDiskSpace(const std::string& path, uint64_t* total) override {
    if (path == "/data" && data_answers.valid()) data_answers.wait();
    *total = uint64_t{1} << 34;
    return int64_t{1} << 33;
  }
  // Below /data lies on the disk, below /media/stick on the stick; nothing else exists.
  std::optional<MountedDrive> FindMountOf(const std::string& path) override {
    for (const MountedDrive& drive : ListDrives()) {
      if (path == drive.root || path.rfind(drive.root + "/", 0) == 0) return drive;
    }
    return std::nullopt;
  }
  SysError CheckCanCreateIn(const std::string& directory) override {
    if (!FindMountOf(directory)) return {ENOENT, "No such file or directory"};
    return unwritable.count(directory) != 0 ? SysError{EACCES, "Permission denied"} : SysError{};
  }
  std::string HomeDirectory() override { return home; }
  std::vector<std::string> SharedTemporaryDirectories() override { return {"/data/tmp"}; }
};

}  // namespace korvanel::panel::testing
