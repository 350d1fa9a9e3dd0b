#pragma once
// The physical disks as WMI describes them. Which drives lie on each disk is asked of the volumes
// themselves (volume_source.h): WMI's associations walk one query per disk and partition, and know
// neither dynamic disks nor volumes mounted in a folder.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "drives/disk_info.h"
#include "drives/windows/registry_reader.h"
#include "drives/windows/wmi_query_source.h"

namespace korvanel {

// The Win32_DiskDrive query for the disks with these indexes, or for every disk when there are none.
std::string DiskQuery(const std::vector<int>& indexes);

// The disks `query` returns, with model, index, size, interface, serial number and the storage
// port's driver; their Letters empty. nullopt when the query is not answered, and `problem` then
// says why. At most CDiskInfo::kMaxDisks disks.
std::optional<std::vector<DiskInfoEntry>> ReadDisks(WmiQuerySource& wmi, RegistryReader& registry,
                                                    const std::string& query, std::string* problem);

// The drive letters' roots ("C:\") on each disk, by disk index, from WMI's associations read flat:
// two queries for the whole machine, where walking them costs one per disk and one per partition.
// For when the volumes cannot tell their disks (Wine's cannot); empty when the queries fail.
std::map<int, std::vector<std::string>> AssociatedLetters(WmiQuerySource& wmi);

}  // namespace korvanel
