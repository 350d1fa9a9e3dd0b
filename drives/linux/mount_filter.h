#pragma once
// Which mounts a user would want to test, judged from the mount table alone.

#include "drives/linux/mount_table.h"

namespace korvanel {

enum class MountClass {
  kSkip,     // system and pseudo file systems, images, optical media, private RAM mounts
  kBlock,    // a file system that needs a block device (or zfs); fixed or removable by its disk
  kRemote,   // network file systems
  kRamDisk,  // tmpfs and ramfs where a user keeps files, writable
};

MountClass ClassifyMount(const MountRecord& mount);

}  // namespace korvanel
