#include "drives/disk_info.h"

#include <algorithm>

namespace korvanel {

void CDiskInfo::Enumerate(DiskSource& source) {
  std::optional<std::vector<DiskInfoEntry>> disks = source.ListDisks();
  if (!disks) return;
  if (disks->size() > static_cast<size_t>(kMaxDisks)) disks->resize(kMaxDisks);
  // Mount points start afresh each time: a disk that has gone must not keep claiming its mounts.
  disks_ = std::move(*disks);
}

const DiskInfoEntry* CDiskInfo::FindByMountPoint(const std::string& mount_point) const {
  // Whole mount points only: "/" is a prefix of every path and must not claim "/home".
  for (const DiskInfoEntry& disk : disks_) {
    if (std::find(disk.Letters.begin(), disk.Letters.end(), mount_point) != disk.Letters.end()) {
      return &disk;
    }
  }
  return nullptr;
}

const DiskInfoEntry* CDiskInfo::FindByIndex(int index) const {
  for (const DiskInfoEntry& disk : disks_) {
    if (disk.Index == index) return &disk;
  }
  return nullptr;
}

std::string CDiskInfo::GetModel(int index) const {
  const DiskInfoEntry* disk = FindByIndex(index);
  return disk ? disk->Model : "No-Name";
}

std::string CDiskInfo::GetSerialNumber(int index) const {
  const DiskInfoEntry* disk = FindByIndex(index);
  return disk ? disk->SerialNumber : "No-SN";
}

std::string CDiskInfo::GetInterfaceType(int index) const {
  const DiskInfoEntry* disk = FindByIndex(index);
  return disk ? disk->InterfaceType : "No-Name";
}

std::string CDiskInfo::GetSize(int index) const {
  const DiskInfoEntry* disk = FindByIndex(index);
  return disk ? disk->Size : "0";
}

std::string CDiskInfo::GetScsiDriver(int index) const {
  const DiskInfoEntry* disk = FindByIndex(index);
  return (disk && !disk->Driver.empty()) ? disk->Driver : "?";
}

}  // namespace korvanel
