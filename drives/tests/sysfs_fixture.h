#pragma once
// A sysfs-like tree in a temporary directory, for disks this machine does not have. Links are
// absolute paths inside the tree, which the drive queries resolve like the kernel's relative ones.

#include <string>

#include "drives/linux/system_roots.h"

namespace korvanel::testing {

class SysfsFixture {
 public:
  SysfsFixture();
  ~SysfsFixture();
  SysfsFixture(const SysfsFixture&) = delete;
  SysfsFixture& operator=(const SysfsFixture&) = delete;

  // sysfs, dev and udev roots inside the tree; mountinfo is the file MountTable() writes.
  SystemRoots Roots() const;

  void File(const std::string& relative, const std::string& content);
  void Link(const std::string& relative, const std::string& target_relative);
  // A device directory below devices/ with its bus and bound driver (either may be empty).
  void Device(const std::string& relative, const std::string& subsystem, const std::string& driver);
  // A block device: `directory` below the tree, "major:minor", size in 512-byte sectors.
  void Disk(const std::string& directory, const std::string& number, uint64_t sectors,
            bool removable = false);
  void Partition(const std::string& disk_directory, const std::string& name,
                 const std::string& number);
  void MountTable(const std::string& text);

 private:
  std::string root_;
};

}  // namespace korvanel::testing
