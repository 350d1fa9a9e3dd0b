#pragma once
// What sysfs tells about one whole disk: identity, size, bus and controller driver.

#include <string>

#include "drives/linux/system_roots.h"

namespace korvanel {

struct DiskFacts {
  std::string name;    // kernel name, "sda"
  std::string model;   // stand-ins where the kernel has none: "VirtIO Block Device", "Loop device (file on ext4)"
  std::string serial;  // empty when no source has one
  std::string size_bytes;  // decimal digits
  std::string interface;   // "SATA", "NVMe", "USB", "MMC", "VirtIO", "SCSI", "Loop", ...
  std::string driver;      // controller's kernel driver ("ahci", "nvme", "uas"); empty when unknown
  bool removable = false;  // removable medium, or on a USB or MMC bus
  bool optical = false;    // CD/DVD drive
  bool stacked = false;    // device-mapper or md device, described through its member disks
};

// The facts of /sys/block/<name> under `roots`; `name` empty when there is no such disk.
DiskFacts ProbeDisk(const SystemRoots& roots, const std::string& name);

}  // namespace korvanel
