#pragma once
// The volume and disk queries of the drive list, behind an interface so that tests can offer the
// answers of machines this one is not: a dynamic disk, a volume mounted in a folder, an NVMe disk,
// a network letter whose server has gone.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows/quiet_drive_errors.h"

namespace korvanel {

struct VolumeFacts {
  std::wstring file_system;
  std::wstring label;
  DWORD flags = 0;  // FILE_READ_ONLY_VOLUME, FILE_PERSISTENT_ACLS, ...
};

// One volume: its GUID name, where it is mounted, and the disks it lies on.
struct VolumePlace {
  std::wstring name;                       // "\\?\Volume{...}\"
  std::vector<std::wstring> mount_points;  // "C:\", "C:\mnt\data\"
  std::vector<int> disks;                  // disk numbers; several for a volume spanning dynamic disks
};

class VolumeSource {
 public:
  virtual ~VolumeSource() = default;
  // The drive letters' roots ("C:\"), in the system's order.
  virtual std::vector<std::wstring> LogicalDriveRoots() = 0;
  // GetDriveTypeW of a root or mounted folder.
  virtual UINT DriveType(const std::wstring& root) = 0;
  // GetVolumeInformationW of a root or mounted folder; nullopt when it fails. On a network letter
  // whose server is gone this waits while the system tries to reconnect.
  virtual std::optional<VolumeFacts> ReadVolume(const std::wstring& root) = 0;
  // Every volume with its mount points and the disks under it (IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS).
  virtual std::vector<VolumePlace> Volumes() = 0;
  // The STORAGE_BUS_TYPE of disk `disk` (IOCTL_STORAGE_QUERY_PROPERTY); nullopt when unknown.
  virtual std::optional<int> BusType(int disk) = 0;
};

// The system's volumes. Shared, because a read that waits too long is left to finish on a thread of
// its own, which must not outlive what it reads.
std::shared_ptr<VolumeSource> SystemVolumes();

}  // namespace korvanel
