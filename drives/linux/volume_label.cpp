#include "drives/linux/volume_label.h"

#include <blkid/blkid.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "drives/linux/sysfs_files.h"
#include "drives/linux/sysfs_texts.h"
#include "platform/linux/unique_fd.h"

namespace korvanel {
namespace {

std::string LabelFromFileSystem(const std::string& mount_point) {
  const platform::UniqueFd directory(open(mount_point.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!directory) return {};
  char label[FSLABEL_MAX] = {};
  if (ioctl(directory.get(), FS_IOC_GETFSLABEL, label) != 0) return {};
  return std::string(label, strnlen(label, sizeof label));
}

std::string LabelFromUdevLinks(const SystemRoots& roots, const std::string& device) {
  const std::string target = ResolvePath(device);
  if (target.empty()) return {};
  const std::string directory = roots.dev + "/disk/by-label";
  for (const std::string& name : ListDirectory(directory)) {
    if (ResolvePath(directory + "/" + name) == target) return UnescapeUdevName(name);
  }
  return {};
}

// Opening the device needs read access to it, which is usually root's alone.
std::string LabelFromSuperblock(const std::string& device) {
  const std::unique_ptr<blkid_struct_probe, decltype(&blkid_free_probe)> probe(
      blkid_new_probe_from_filename(device.c_str()), &blkid_free_probe);
  if (!probe) return {};
  blkid_probe_enable_superblocks(probe.get(), 1);
  blkid_probe_set_superblocks_flags(probe.get(), BLKID_SUBLKS_LABEL);
  const char* value = nullptr;
  if (blkid_do_safeprobe(probe.get()) != 0 ||
      blkid_probe_lookup_value(probe.get(), "LABEL", &value, nullptr) != 0 || value == nullptr) {
    return {};
  }
  return value;
}

}  // namespace

std::string ReadVolumeLabel(const SystemRoots& roots, const std::string& mount_point,
                            const std::string& device) {
  std::string label = LabelFromFileSystem(mount_point);
  const bool is_device = device.rfind("/dev/", 0) == 0;
  if (label.empty() && is_device) label = LabelFromUdevLinks(roots, roots.dev + device.substr(4));
  if (label.empty() && is_device) label = LabelFromSuperblock(roots.dev + device.substr(4));
  return label;
}

}  // namespace korvanel
