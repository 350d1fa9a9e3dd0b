#pragma once
// From a mounted file system down to the whole disks it lives on.

#include <string>
#include <vector>

#include "drives/linux/mount_table.h"
#include "drives/linux/system_roots.h"

namespace korvanel {

// The sysfs directories of the block devices holding the mount's file system: usually one, every
// member device for a multi-device btrfs; empty when it has no block device.
std::vector<std::string> MountBlockDevices(const SystemRoots& roots, const MountRecord& mount);

// The kernel names of the whole disks below a block device's sysfs directory, through partitions
// and stacked devices (device-mapper, LVM, LUKS, md RAID); each name once, in the order found.
std::vector<std::string> DisksBelow(const std::string& device_directory);

}  // namespace korvanel
