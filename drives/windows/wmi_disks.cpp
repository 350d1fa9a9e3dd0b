#include "drives/windows/wmi_disks.h"

#include <cctype>
#include <cstdlib>

#include "common/ascii_case.h"

namespace korvanel {
namespace {

// WMI's property names are without case ("DeviceID", and Wine's "DeviceId").
const std::string* Property(const WmiObject& object, const char* name) {
  for (const auto& [key, value] : object) {
    if (EqualsIgnoringAsciiCase(key, name)) return &value;
  }
  return nullptr;
}

// A property's text, or what the field had when the object lacks it.
std::string Text(const WmiObject& object, const char* name, const std::string& otherwise = {}) {
  const std::string* value = Property(object, name);
  return value != nullptr ? *value : otherwise;
}

int Number(const WmiObject& object, const char* name, int otherwise) {
  const std::string* value = Property(object, name);
  if (value == nullptr || value->empty()) return otherwise;
  return static_cast<int>(std::strtol(value->c_str(), nullptr, 10));
}

// The key of an object path, \\HOST\ROOT\CIMV2:Win32_DiskDrive.DeviceID="\\\\.\\PHYSICALDRIVE0", unescaped:
// \\.\PHYSICALDRIVE0.
std::string PathKey(const std::string& object_path) {
  const size_t open = object_path.find("=\"");
  if (open == std::string::npos || object_path.back() != '"') return {};
  std::string key;
  for (size_t i = open + 2; i + 1 < object_path.size(); ++i) {
    if (object_path[i] == '\\' && i + 2 < object_path.size()) ++i;
    key += object_path[i];
  }
  return key;
}

// The disk's index from its device id, which ends in it: \\.\PHYSICALDRIVE2 is disk 2.
std::optional<int> DiskIndexOf(const std::string& device_id) {
  size_t digits = device_id.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(device_id[digits - 1]))) --digits;
  if (digits == device_id.size()) return std::nullopt;
  return static_cast<int>(std::strtol(device_id.c_str() + digits, nullptr, 10));
}

}  // namespace

std::string DiskQuery(const std::vector<int>& indexes) {
  std::string query = "SELECT * FROM Win32_DiskDrive";
  for (size_t i = 0; i < indexes.size(); ++i) {
    query += (i == 0 ? " WHERE Index = " : " OR Index = ") + std::to_string(indexes[i]);
  }
  return query;
}

std::optional<std::vector<DiskInfoEntry>> ReadDisks(WmiQuerySource& wmi, RegistryReader& registry,
                                                    const std::string& query, std::string* problem) {
  const WmiAnswer drives = wmi.Query(query);
  if (!drives.answered()) {
    *problem = drives.problem;
    return std::nullopt;
  }
  std::vector<DiskInfoEntry> disks;
  for (const WmiObject& drive : drives.objects) {
    if (disks.size() == static_cast<size_t>(CDiskInfo::kMaxDisks)) break;
    DiskInfoEntry disk;
    disk.Model = Text(drive, "Model");
    disk.Index = Number(drive, "Index", 0);
    disk.Size = Text(drive, "Size");
    disk.InterfaceType = Text(drive, "InterfaceType");
    disk.SerialNumber = Text(drive, "SerialNumber");
    const int port = Number(drive, "SCSIPort", -1);
    if (port >= 0) disk.Driver = ScsiPortDriver(registry, port);
    disks.push_back(std::move(disk));
  }
  return disks;
}

std::map<int, std::vector<std::string>> AssociatedLetters(WmiQuerySource& wmi) {
  std::map<int, std::vector<std::string>> letters;
  const WmiAnswer partitions = wmi.Query("SELECT * FROM Win32_DiskDriveToDiskPartition");
  const WmiAnswer logical_disks = wmi.Query("SELECT * FROM Win32_LogicalDiskToPartition");
  if (!partitions.answered() || !logical_disks.answered()) return letters;
  std::map<std::string, int> disk_of_partition;
  for (const WmiObject& link : partitions.objects) {
    const std::optional<int> disk = DiskIndexOf(PathKey(Text(link, "Antecedent")));
    if (disk) disk_of_partition[PathKey(Text(link, "Dependent"))] = *disk;
  }
  for (const WmiObject& link : logical_disks.objects) {
    const auto disk = disk_of_partition.find(PathKey(Text(link, "Antecedent")));
    const std::string letter = PathKey(Text(link, "Dependent"));  // "C:"
    if (disk != disk_of_partition.end() && !letter.empty()) letters[disk->second].push_back(letter + "\\");
  }
  return letters;
}

}  // namespace korvanel
