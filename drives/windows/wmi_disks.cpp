#include "drives/windows/wmi_disks.h"

#include <cstdlib>

namespace korvanel::platform {
namespace {

// A property's text, or what the field had when the object lacks it.
std::string Text(const WmiObject& object, const char* name, const std::string& otherwise = {}) {
  const auto it = object.find(name);
  return it != object.end() ? it->second : otherwise;
}

int Number(const WmiObject& object, const char* name, int otherwise) {
  const auto it = object.find(name);
  if (it == object.end() || it->second.empty()) return otherwise;
  return static_cast<int>(std::strtol(it->second.c_str(), nullptr, 10));
}

std::vector<std::string> CollectLetters(WmiQuerySource& wmi, const std::string& disk_id) {
  std::vector<std::string> letters;
  const auto partitions = wmi.Query("ASSOCIATORS OF {Win32_DiskDrive.DeviceID='" + disk_id +
                                    "'} WHERE AssocClass=Win32_DiskDriveToDiskPartition");
  if (!partitions) return letters;
  for (const WmiObject& partition : *partitions) {
    const std::string partition_id = Text(partition, "DeviceID");
    if (partition_id.empty()) continue;
    const auto logical_disks = wmi.Query("ASSOCIATORS OF {Win32_DiskPartition.DeviceID='" + partition_id +
                                         "'} WHERE AssocClass=Win32_LogicalDiskToPartition");
    if (!logical_disks) break;
    for (const WmiObject& logical_disk : *logical_disks) {
      const std::string letter = Text(logical_disk, "DeviceID");  // "C:"
      if (!letter.empty()) letters.push_back(letter + "\\");
    }
  }
  return letters;
}

}  // namespace

std::optional<std::vector<DiskInfoEntry>> CollectDisks(WmiQuerySource& wmi, RegistryReader& registry) {
  const auto drives = wmi.Query("SELECT * FROM Win32_DiskDrive");
  if (!drives) return std::nullopt;
  std::vector<DiskInfoEntry> disks;
  for (const WmiObject& drive : *drives) {
    if (disks.size() == static_cast<size_t>(CDiskInfo::kMaxDisks)) break;
    DiskInfoEntry disk;
    disk.Model = Text(drive, "Model");
    disk.Index = Number(drive, "Index", 0);
    disk.Size = Text(drive, "Size");
    disk.InterfaceType = Text(drive, "InterfaceType");
    disk.SerialNumber = Text(drive, "SerialNumber");
    const int port = Number(drive, "SCSIPort", -1);
    if (port >= 0) disk.Driver = ScsiPortDriver(registry, port);
    const std::string device_id = Text(drive, "DeviceID");
    // Named by its full device id ("\\.\PHYSICALDRIVE0"), written into the object path as it stands,
    // the form WMI's associator queries accept.
    if (!device_id.empty()) disk.Letters = CollectLetters(wmi, device_id);
    disks.push_back(std::move(disk));
  }
  return disks;
}

}  // namespace korvanel::platform
