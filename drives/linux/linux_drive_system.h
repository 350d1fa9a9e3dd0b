#pragma once
// The drive queries on Linux: mounted file systems from the mount table, disks from sysfs.

#include "drives/drive_system.h"
#include "drives/linux/system_roots.h"

namespace korvanel {

class LinuxDriveSystem final : public DriveSystem {
 public:
  explicit LinuxDriveSystem(SystemRoots roots = {});

  std::vector<MountedDrive> ListDrives() override;
  std::optional<std::vector<DiskInfoEntry>> ListDisks() override;
  std::optional<VolumeInfo> QueryVolume(const std::string& root) override;
  int64_t QueryDiskSpace(const std::string& path, uint64_t* total) override;
  std::optional<MountedDrive> FindMountOf(const std::string& path) override;
  SysError CheckCanCreateIn(const std::string& directory) override;
  std::string HomeDirectory() override;
  std::vector<std::string> SharedTemporaryDirectories() override;

 private:
  SystemRoots roots_;
};

}  // namespace korvanel
