#include "drives/linux/block_stack.h"

#include <algorithm>

#include "drives/linux/sysfs_files.h"

namespace korvanel {
namespace {

// Deeper stacks do not occur; the limit guards against link loops in a damaged tree.
constexpr int kMaxStackDepth = 8;

void AddOnce(const std::string& name, std::vector<std::string>* names) {
  if (std::find(names->begin(), names->end(), name) == names->end()) names->push_back(name);
}

void CollectDisks(const std::string& directory, int depth, std::vector<std::string>* disks) {
  if (directory.empty() || depth > kMaxStackDepth) return;
  if (PathExists(directory + "/partition")) {
    CollectDisks(ParentPath(directory), depth + 1, disks);
    return;
  }
  const std::vector<std::string> slaves = ListDirectory(directory + "/slaves");
  if (slaves.empty()) {
    AddOnce(BaseName(directory), disks);
    return;
  }
  for (const std::string& slave : slaves) {
    CollectDisks(ResolvePath(directory + "/slaves/" + slave), depth + 1, disks);
  }
}

// The kernel name of the device a mount names as its source ("/dev/mapper/vg-root" is "dm-0").
std::string SourceDeviceName(const SystemRoots& roots, const std::string& source) {
  if (source.rfind("/dev/", 0) != 0) return {};
  const std::string resolved = ResolvePath(roots.dev + source.substr(4));
  return BaseName(resolved.empty() ? source : resolved);
}

// A btrfs file system may span several devices; sysfs lists them per file-system id.
std::vector<std::string> BtrfsMembers(const SystemRoots& roots, const std::string& device_name) {
  const std::string btrfs = roots.sysfs + "/fs/btrfs";
  for (const std::string& fsid : ListDirectory(btrfs)) {
    const std::string devices = btrfs + "/" + fsid + "/devices";
    if (PathExists(devices + "/" + device_name)) return ListDirectory(devices);
  }
  return {device_name};
}

}  // namespace

std::vector<std::string> MountBlockDevices(const SystemRoots& roots, const MountRecord& mount) {
  std::vector<std::string> names;
  // btrfs reports an anonymous device number (major 0); its source names a member device.
  if (mount.major != 0) {
    const std::string device = ResolvePath(roots.sysfs + "/dev/block/" + mount.DeviceNumber());
    if (!device.empty()) names.push_back(BaseName(device));
  }
  if (names.empty()) {
    const std::string name = SourceDeviceName(roots, mount.source);
    if (!name.empty()) names = BtrfsMembers(roots, name);
  }
  std::vector<std::string> directories;
  for (const std::string& name : names) {
    const std::string directory = ResolvePath(roots.sysfs + "/class/block/" + name);
    if (!directory.empty()) directories.push_back(directory);
  }
  return directories;
}

std::vector<std::string> DisksBelow(const std::string& device_directory) {
  std::vector<std::string> disks;
  CollectDisks(device_directory, 0, &disks);
  return disks;
}

}  // namespace korvanel
