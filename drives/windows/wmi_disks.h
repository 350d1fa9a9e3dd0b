#pragma once
// The physical disks as WMI describes them, and which drive letters lie on each.

#include <optional>
#include <vector>

#include "drives/disk_info.h"
#include "drives/windows/registry_reader.h"
#include "drives/windows/wmi_query_source.h"

namespace korvanel::platform {

// Every Win32_DiskDrive with model, index, size, interface, serial number and the storage port's
// driver, and for each the roots ("C:\") of the logical disks on its partitions, found by walking
// disk -> partitions -> logical disks. nullopt when the disk query itself fails; an association
// query that fails ends the letters of that disk only. At most CDiskInfo::kMaxDisks disks.
std::optional<std::vector<DiskInfoEntry>> CollectDisks(WmiQuerySource& wmi, RegistryReader& registry);

}  // namespace korvanel::platform
