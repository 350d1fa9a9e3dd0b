#pragma once
// The drive queries on Windows: drive letters, volumes mounted in folders and the disks under each
// volume from the W functions and the volume manager, the disks' identity from WMI.

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "drives/drive_system.h"
#include "drives/windows/registry_reader.h"
#include "drives/windows/volume_source.h"
#include "drives/windows/wmi_query_source.h"

namespace korvanel {

class WindowsDriveSystem final : public DriveSystem {
 public:
  using WmiConnector = std::function<std::unique_ptr<WmiQuerySource>()>;
  // Tests hand in recorded WMI answers, registry values and volumes; the program uses the system's.
  WindowsDriveSystem(WmiConnector connect, RegistryReader& registry, std::shared_ptr<VolumeSource> volumes);

  // The drive letters, then the volumes mounted in folders.
  std::vector<MountedDrive> ListDrives() override;
  std::optional<std::vector<DiskInfoEntry>> ListDisks() override;
  // Only the disks under the volume at `root`, by one WMI query; none for a network drive.
  std::optional<std::vector<DiskInfoEntry>> ListDisksHolding(const std::string& root) override;
  std::string LastDiskProblem() const override;
  std::optional<VolumeInfo> QueryVolume(const std::string& root) override;
  // The space of the volume that holds `path` itself, which is not the drive letter's for a path in
  // a mounted folder.
  int64_t QueryDiskSpace(const std::string& path, uint64_t* total) override;
  // The volume the opened directory lies on: a junction or a mounted folder on the way leads to
  // the volume it points to.
  std::optional<MountedDrive> FindMountOf(const std::string& path) override;
  // The user's profile folder, where the folder dialog starts.
  std::string HomeDirectory() override;

 private:
  std::optional<std::vector<DiskInfoEntry>> Disks(const std::vector<int>& indexes,
                                                  const std::vector<VolumePlace>& volumes);
  void SetProblem(std::string problem);

  WmiConnector connect_;
  RegistryReader& registry_;
  std::shared_ptr<VolumeSource> volumes_;
  mutable std::mutex problem_mutex_;
  std::string problem_;
};

// The name users know a STORAGE_BUS_TYPE by ("NVMe", "SATA", "USB"); empty for none.
std::string BusTypeName(int bus_type);

}  // namespace korvanel
