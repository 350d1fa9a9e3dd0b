#include "drives/linux/linux_drive_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <map>

#include "common/bounded_call.h"
#include "drives/linux/block_stack.h"
#include "drives/linux/disk_probe.h"
#include "drives/linux/mount_filter.h"
#include "drives/linux/mount_table.h"
#include "drives/linux/sysfs_files.h"
#include "drives/linux/volume_label.h"

namespace korvanel {
namespace {

// What the user sees as the mounted device: the source when it is a device path, else the name
// of the first block device.
std::string DeviceText(const MountRecord& mount, const std::vector<std::string>& devices) {
  if (mount.source.rfind("/dev/", 0) == 0 || devices.empty()) return mount.source;
  return "/dev/" + BaseName(devices.front());
}

// One entry per file system (bind mounts share the device number): the shortest mount point.
std::vector<MountedDrive> OnePerFileSystem(const std::vector<MountedDrive>& drives) {
  std::map<std::string, MountedDrive> chosen;
  for (const MountedDrive& drive : drives) {
    auto [it, inserted] = chosen.emplace(drive.device_number, drive);
    const std::string& kept = it->second.root;
    if (!inserted && (drive.root.size() < kept.size() ||
                      (drive.root.size() == kept.size() && drive.root < kept))) {
      it->second = drive;
    }
  }
  std::vector<MountedDrive> result;
  for (auto& [number, drive] : chosen) result.push_back(std::move(drive));
  std::sort(result.begin(), result.end(),
            [](const MountedDrive& a, const MountedDrive& b) { return a.root < b.root; });
  return result;
}

// Kind of a block-backed mount from its disks; nullopt when it must not be listed.
std::optional<DriveKind> BlockDriveKind(const SystemRoots& roots, const MountRecord& mount,
                                        const std::vector<std::string>& devices) {
  if (devices.empty()) {
    // zfs pools have no block device of their own in the mount table.
    if (mount.file_system == "zfs") return DriveKind::kFixed;
    return std::nullopt;
  }
  bool removable = false;
  for (const std::string& device : devices) {
    for (const std::string& disk : DisksBelow(device)) {
      const DiskFacts facts = ProbeDisk(roots, disk);
      if (facts.optical) return std::nullopt;
      removable = removable || facts.removable;
    }
  }
  return removable ? DriveKind::kRemovable : DriveKind::kFixed;
}

// Containers bind single files (/etc/hosts) from a disk; a file is no drive. Only asked of block
// mounts: a stat on a dead network mount could hang.
bool IsFileMount(const std::string& mount_point) {
  struct stat status {};
  return stat(mount_point.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

std::optional<MountedDrive> ListedDrive(const SystemRoots& roots, const MountRecord& mount) {
  MountedDrive drive{mount.mount_point, mount.source,      mount.DeviceNumber(),
                     mount.file_system, DriveKind::kFixed, mount.read_only};
  switch (ClassifyMount(mount)) {
    case MountClass::kSkip:
      return std::nullopt;
    case MountClass::kRemote:
      drive.kind = DriveKind::kRemote;
      return drive;
    case MountClass::kRamDisk:
      drive.kind = DriveKind::kRamDisk;
      return drive;
    case MountClass::kBlock:
      break;
  }
  if (IsFileMount(mount.mount_point)) return std::nullopt;
  const std::vector<std::string> devices = MountBlockDevices(roots, mount);
  const std::optional<DriveKind> kind = BlockDriveKind(roots, mount, devices);
  if (!kind) return std::nullopt;
  drive.kind = *kind;
  drive.device = DeviceText(mount, devices);
  return drive;
}

// Sorts "sda" < "sdb" < "sdaa" and "loop2" < "loop10", as the kernel names them.
bool KernelNameLess(const std::string& a, const std::string& b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

const MountRecord* FindMountId(const std::vector<MountRecord>& records, int mount_id) {
  for (const MountRecord& record : records) {
    if (record.mount_id == mount_id) return &record;
  }
  return nullptr;
}

}  // namespace

LinuxDriveSystem::LinuxDriveSystem(SystemRoots roots) : roots_(std::move(roots)) {}

std::vector<MountedDrive> LinuxDriveSystem::ListDrives() {
  std::vector<MountedDrive> drives;
  for (const MountRecord& mount : VisibleMounts(ReadMountTable(roots_.mountinfo))) {
    if (std::optional<MountedDrive> drive = ListedDrive(roots_, mount)) drives.push_back(*drive);
  }
  return OnePerFileSystem(drives);
}

std::optional<std::vector<DiskInfoEntry>> LinuxDriveSystem::ListDisks() {
  std::vector<std::string> names = ListDirectory(roots_.sysfs + "/block");
  if (names.empty()) return std::nullopt;
  std::sort(names.begin(), names.end(), KernelNameLess);
  std::vector<DiskInfoEntry> disks;
  std::map<std::string, size_t> position_of;
  for (const std::string& name : names) {
    const DiskFacts facts = ProbeDisk(roots_, name);
    // Stacked devices are described by their member disks; empty drives hold nothing.
    if (facts.name.empty() || facts.stacked || facts.size_bytes == "0") continue;
    position_of[name] = disks.size();
    disks.push_back({facts.model,
                     facts.serial,
                     static_cast<int>(disks.size()),
                     facts.size_bytes,
                     facts.interface,
                     facts.driver,
                     {}});
  }
  for (const MountRecord& mount : ReadMountTable(roots_.mountinfo)) {
    for (const std::string& device : MountBlockDevices(roots_, mount)) {
      for (const std::string& disk : DisksBelow(device)) {
        auto it = position_of.find(disk);
        if (it == position_of.end()) continue;
        std::vector<std::string>& letters = disks[it->second].Letters;
        if (std::find(letters.begin(), letters.end(), mount.mount_point) == letters.end()) {
          letters.push_back(mount.mount_point);
        }
      }
    }
  }
  return disks;
}

std::optional<VolumeInfo> LinuxDriveSystem::QueryVolume(const std::string& root) {
  const std::vector<MountRecord> mounts = VisibleMounts(ReadMountTable(roots_.mountinfo));
  for (const MountRecord& mount : mounts) {
    if (mount.mount_point != root) continue;
    const std::string device = DeviceText(mount, MountBlockDevices(roots_, mount));
    // The label is asked of the mounted file system, which may not answer.
    const std::optional<std::string> label = CallWithin<std::string>(
        "label " + root, kDriveQueryLimit, [roots = roots_, root, device] { return ReadVolumeLabel(roots, root, device); });
    return VolumeInfo{mount.file_system, label.value_or("")};
  }
  return std::nullopt;
}

int64_t LinuxDriveSystem::QueryDiskSpace(const std::string& path, uint64_t* total) {
  struct Space {
    bool known = false;
    uint64_t total = 0;
    uint64_t free = 0;
  };
  // A network mount whose server is gone never answers: such a drive's space is unknown.
  const std::optional<Space> space = CallWithin<Space>("space " + path, kDriveQueryLimit, [path] {
    struct statvfs status {};
    if (statvfs(path.c_str(), &status) != 0) return Space{};
    // f_bfree would count the blocks reserved for root, which the user cannot fill.
    return Space{true, static_cast<uint64_t>(status.f_blocks) * status.f_frsize,
                 static_cast<uint64_t>(status.f_bavail) * status.f_frsize};
  });
  if (!space || !space->known) return -1;
  *total = space->total;
  return static_cast<int64_t>(space->free);
}

std::optional<MountedDrive> LinuxDriveSystem::FindMountOf(const std::string& path) {
  const std::vector<MountRecord> records = ReadMountTable(roots_.mountinfo);
  // st_dev would not do: btrfs gives every subvolume a device number of its own.
  struct MountId {
    bool exists = false;
    std::optional<int> id;  // absent where the kernel cannot tell (before 5.8)
  };
  // A path on a network mount that does not answer is not found.
  const std::optional<MountId> found = CallWithin<MountId>("mount " + path, kDriveQueryLimit, [path] {
    struct statx status {};
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_MNT_ID, &status) != 0) return MountId{};
    if (!(status.stx_mask & STATX_MNT_ID)) return MountId{true, std::nullopt};
    return MountId{true, static_cast<int>(status.stx_mnt_id)};
  });
  if (!found || !found->exists) return std::nullopt;
  // Kept here: the record found points into it.
  const std::vector<MountRecord> visible = VisibleMounts(records);
  const MountRecord* mount = found->id ? FindMountId(records, *found->id) : FindMountByPrefix(visible, ResolvePath(path));
  if (mount == nullptr) return std::nullopt;
  return MountedDrive{mount->mount_point,    DeviceText(*mount, MountBlockDevices(roots_, *mount)),
                      mount->DeviceNumber(), mount->file_system,
                      DriveKind::kFixed,     mount->read_only};
}

std::unique_ptr<DriveSystem> CreateDriveSystem() {
  return std::make_unique<LinuxDriveSystem>();
}

}  // namespace korvanel
