#pragma once
// The drive queries on Windows: drive letters and volumes from the W functions, disks from WMI.

#include <functional>
#include <memory>
#include <string>

#include "drives/drive_system.h"
#include "drives/windows/registry_reader.h"
#include "drives/windows/wmi_query_source.h"

namespace korvanel::platform {

class WindowsDriveSystem final : public DriveSystem {
 public:
  using WmiConnector = std::function<std::unique_ptr<WmiQuerySource>()>;
  // Tests hand in recorded WMI answers and registry values; the program uses the system's.
  WindowsDriveSystem(WmiConnector connect, RegistryReader& registry);

  std::vector<MountedDrive> ListDrives() override;
  std::optional<std::vector<DiskInfoEntry>> ListDisks() override;
  std::optional<VolumeInfo> QueryVolume(const std::string& root) override;
  int64_t QueryDiskSpace(const std::string& path, uint64_t* total) override;
  std::optional<MountedDrive> FindMountOf(const std::string& path) override;

 private:
  WmiConnector connect_;
  RegistryReader& registry_;
};

// The root that a free-space query takes for a full path: for "\\server\share\dir" everything up to
// the backslash after the share name (the whole path when there is none), otherwise up to the first
// backslash ("C:\").
std::wstring SpaceQueryRoot(const std::wstring& full_path);

}  // namespace korvanel::platform
