#pragma once
// The label of a mounted file system.

#include <string>

#include "drives/linux/system_roots.h"

namespace korvanel {

// The label of the file system mounted at `mount_point` on `device` ("/dev/sda2"; may be empty or
// a non-device source). Asks the file system itself (no privileges needed on ext4, xfs, btrfs,
// f2fs), then udev's /dev/disk/by-label links, then the on-disk superblock where the device is
// readable. Empty when none of them knows a label.
std::string ReadVolumeLabel(const SystemRoots& roots, const std::string& mount_point,
                            const std::string& device);

}  // namespace korvanel
