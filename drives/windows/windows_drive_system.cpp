#include "drives/windows/windows_drive_system.h"

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <map>

#include "common/bounded_call.h"
#include "drives/windows/com_wmi_source.h"
#include "drives/windows/wmi_disks.h"
#include "platform/paths.h"
#include "platform/windows/volume_paths.h"
#include "platform/windows/wide_text.h"

namespace korvanel {
namespace {

std::optional<DriveKind> ListedKind(UINT type, wchar_t letter) {
  switch (type) {
    case DRIVE_REMOVABLE:
      // A and B are floppy drives.
      if (letter == L'A' || letter == L'B') return std::nullopt;
      return DriveKind::kRemovable;
    case DRIVE_FIXED: return DriveKind::kFixed;
    case DRIVE_REMOTE: return DriveKind::kRemote;
    case DRIVE_RAMDISK: return DriveKind::kRamDisk;
    default: return std::nullopt;  // CD/DVD, unknown, no volume
  }
}

bool IsDriveRoot(const std::wstring& path) { return path.size() == 3 && path[1] == L':' && path[2] == L'\\'; }

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towupper(x) == std::towupper(y);
         });
}

const VolumePlace* VolumeAt(const std::wstring& root, const std::vector<VolumePlace>& volumes) {
  for (const VolumePlace& volume : volumes) {
    for (const std::wstring& mount_point : volume.mount_points) {
      if (SamePath(mount_point, root)) return &volume;
    }
  }
  return nullptr;
}

// "C:" for "C:\", the way the summary names the partition; a mounted folder by its path.
std::string DeviceOf(const std::wstring& root) {
  return IsDriveRoot(root) ? platform::Utf8FromWide(root.substr(0, 2)) : platform::Utf8FromWide(root);
}

// Where the volume under `disk` is mounted, every mount point of every such volume.
std::vector<std::string> MountPointsOn(int disk, const std::vector<VolumePlace>& volumes) {
  std::vector<std::string> mount_points;
  for (const VolumePlace& volume : volumes) {
    if (std::find(volume.disks.begin(), volume.disks.end(), disk) == volume.disks.end()) continue;
    for (const std::wstring& mount_point : volume.mount_points) {
      mount_points.push_back(platform::Utf8FromWide(mount_point));
    }
  }
  return mount_points;
}

// A volume read under way: at once for a local drive; on a thread of its own for a network drive,
// where the system may go on reconnecting to a server that has gone for much longer than the list
// waits. Such a read is left to finish there, and no other read of that root starts until it has;
// the thread keeps what it reads alive.
class PendingVolume {
 public:
  PendingVolume(const std::shared_ptr<VolumeSource>& volumes, const std::wstring& root, UINT type) {
    if (type != DRIVE_REMOTE) {
      facts_ = volumes->ReadVolume(root);
      return;
    }
    remote_.emplace("volume " + platform::Utf8FromWide(root), [volumes, root] {
      const platform::QuietDriveErrors quiet;
      return volumes->ReadVolume(root);
    });
  }

  // The facts, or nothing when the volume could not be read or a network drive's read is still
  // under way at `deadline`.
  std::optional<VolumeFacts> Take(std::chrono::steady_clock::time_point deadline) {
    if (remote_) return remote_->TakeBy(deadline).value_or(std::nullopt);
    return facts_;
  }

 private:
  std::optional<VolumeFacts> facts_;
  std::optional<BoundedCall<std::optional<VolumeFacts>>> remote_;
};

std::optional<VolumeFacts> ReadVolumeWithin(const std::shared_ptr<VolumeSource>& volumes, const std::wstring& root) {
  return PendingVolume(volumes, root, volumes->DriveType(root)).Take(std::chrono::steady_clock::now() + kDriveQueryLimit);
}

MountedDrive Describe(const std::wstring& root, DriveKind kind, const std::vector<VolumePlace>& volumes,
                      const std::optional<VolumeFacts>& facts) {
  MountedDrive drive;
  drive.root = platform::Utf8FromWide(root);
  drive.device = DeviceOf(root);
  // The volume's GUID name: two roots with the same one are the same file system.
  if (const VolumePlace* volume = VolumeAt(root, volumes)) drive.device_number = platform::Utf8FromWide(volume->name);
  drive.kind = kind;
  if (facts) {
    drive.file_system = platform::Utf8FromWide(facts->file_system);
    drive.read_only = (facts->flags & FILE_READ_ONLY_VOLUME) != 0;
  }
  return drive;
}

// Whether the volume manager tells which disks lie under the volumes; Wine's tells none, and then
// WMI's associations stand in.
bool VolumesTellDisks(const std::vector<VolumePlace>& volumes) {
  return std::any_of(volumes.begin(), volumes.end(), [](const VolumePlace& volume) { return !volume.disks.empty(); });
}

// The directory's own path with junctions and mounted folders followed; `path` itself when the
// system can tell no drive path for it.
std::wstring FollowedPath(const std::string& path) {
  std::string resolved;
  if (platform::ResolveDirectory(path, &resolved)) return platform::LongCapablePath(platform::WidePath(path));
  return platform::LongCapablePath(platform::WidePath(resolved));
}

}  // namespace

std::string BusTypeName(int bus_type) {
  // By the values of STORAGE_BUS_TYPE, some of which older headers lack (NVMe is 17).
  static const char* const kNames[] = {
      "",    "SCSI", "ATAPI", "ATA", "1394",    "SSA",                 "Fibre Channel",  "USB",  "RAID", "iSCSI",
      "SAS", "SATA", "SD",    "MMC", "Virtual", "File-backed virtual", "Storage Spaces", "NVMe", "SCM",  "UFS"};
  return bus_type > 0 && bus_type < static_cast<int>(std::size(kNames)) ? kNames[bus_type] : std::string();
}

WindowsDriveSystem::WindowsDriveSystem(WmiConnector connect, RegistryReader& registry,
                                       std::shared_ptr<VolumeSource> volumes)
    : connect_(std::move(connect)), registry_(registry), volumes_(std::move(volumes)) {}

std::vector<MountedDrive> WindowsDriveSystem::ListDrives() {
  const platform::QuietDriveErrors quiet;
  const std::vector<VolumePlace> volumes = volumes_->Volumes();
  struct Listed {
    std::wstring root;
    DriveKind kind;
    PendingVolume volume;
  };
  std::vector<Listed> listed;
  const auto list = [&](const std::wstring& root, wchar_t letter) {
    const UINT type = volumes_->DriveType(root);
    if (const std::optional<DriveKind> kind = ListedKind(type, letter)) {
      listed.push_back({root, *kind, PendingVolume(volumes_, root, type)});
    }
  };
  for (const std::wstring& root : volumes_->LogicalDriveRoots()) {
    if (!root.empty()) list(root, static_cast<wchar_t>(std::towupper(root[0])));
  }
  // A volume mounted only in folders (C:\mnt\data\) is a drive of its own, listed by its first
  // folder; one with a letter is listed by the letter already.
  for (const VolumePlace& volume : volumes) {
    const auto& points = volume.mount_points;
    if (!points.empty() && std::none_of(points.begin(), points.end(), IsDriveRoot)) list(points.front(), 0);
  }
  // The network drives are read at the same time: however many servers have gone, the list waits
  // for them once.
  const auto deadline = std::chrono::steady_clock::now() + kDriveQueryLimit;
  std::vector<MountedDrive> drives;
  for (Listed& drive : listed) drives.push_back(Describe(drive.root, drive.kind, volumes, drive.volume.Take(deadline)));
  return drives;
}

std::optional<std::vector<DiskInfoEntry>> WindowsDriveSystem::Disks(const std::vector<int>& indexes,
                                                                    const std::vector<VolumePlace>& volumes) {
  std::unique_ptr<WmiQuerySource> wmi = connect_();
  if (!wmi) {
    SetProblem("the WMI service cannot be reached");
    return std::nullopt;
  }
  std::string problem;
  std::optional<std::vector<DiskInfoEntry>> disks = ReadDisks(*wmi, registry_, DiskQuery(indexes), &problem);
  SetProblem(problem);
  if (!disks) return std::nullopt;
  const bool volumes_tell_disks = VolumesTellDisks(volumes);
  std::map<int, std::vector<std::string>> associated;
  if (!volumes_tell_disks) associated = AssociatedLetters(*wmi);
  for (DiskInfoEntry& disk : *disks) {
    disk.Letters = volumes_tell_disks ? MountPointsOn(disk.Index, volumes) : associated[disk.Index];
    // WMI calls NVMe and SATA disks "SCSI" or "IDE"; the storage stack knows the bus.
    const std::optional<int> bus = volumes_->BusType(disk.Index);
    const std::string bus_name = bus ? BusTypeName(*bus) : std::string();
    if (!bus_name.empty()) disk.InterfaceType = bus_name;
  }
  return disks;
}

std::optional<std::vector<DiskInfoEntry>> WindowsDriveSystem::ListDisks() {
  const platform::QuietDriveErrors quiet;
  return Disks({}, volumes_->Volumes());
}

std::optional<std::vector<DiskInfoEntry>> WindowsDriveSystem::ListDisksHolding(const std::string& root) {
  const platform::QuietDriveErrors quiet;
  const std::vector<VolumePlace> volumes = volumes_->Volumes();
  if (!VolumesTellDisks(volumes)) return Disks({}, volumes);
  const VolumePlace* volume = VolumeAt(platform::WidePath(root), volumes);
  // A network drive, or a volume whose disks cannot be told: no disk to ask WMI about.
  if (volume == nullptr || volume->disks.empty()) {
    SetProblem({});
    return std::vector<DiskInfoEntry>{};
  }
  return Disks(volume->disks, volumes);
}

std::string WindowsDriveSystem::HomeDirectory() { return platform::HomeDirectory(); }

std::string WindowsDriveSystem::LastDiskProblem() const {
  std::lock_guard lock(problem_mutex_);
  return problem_;
}

void WindowsDriveSystem::SetProblem(std::string problem) {
  std::lock_guard lock(problem_mutex_);
  problem_ = std::move(problem);
}

std::optional<VolumeInfo> WindowsDriveSystem::QueryVolume(const std::string& root) {
  const platform::QuietDriveErrors quiet;
  const std::optional<VolumeFacts> volume = ReadVolumeWithin(volumes_, platform::WidePath(root));
  if (!volume) return std::nullopt;
  return VolumeInfo{platform::Utf8FromWide(volume->file_system), platform::Utf8FromWide(volume->label)};
}

int64_t WindowsDriveSystem::QueryDiskSpace(const std::string& path, uint64_t* total) {
  const platform::QuietDriveErrors quiet;
  ULARGE_INTEGER available{}, bytes{}, free_bytes{};
  const std::wstring wide_path = platform::LongCapablePath(platform::WidePath(path));
  if (!GetDiskFreeSpaceExW(wide_path.c_str(), &available, &bytes, &free_bytes)) return -1;
  *total = bytes.QuadPart;
  return static_cast<int64_t>(available.QuadPart);
}

std::optional<MountedDrive> WindowsDriveSystem::FindMountOf(const std::string& path) {
  const platform::QuietDriveErrors quiet;
  const std::wstring followed = FollowedPath(path);
  if (GetFileAttributesW(followed.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  const std::wstring root = platform::VolumeRootOf(followed);
  if (root.empty()) return std::nullopt;
  const DriveKind kind = ListedKind(volumes_->DriveType(root), 0).value_or(DriveKind::kFixed);
  return Describe(root, kind, volumes_->Volumes(), ReadVolumeWithin(volumes_, root));
}

std::unique_ptr<DriveSystem> CreateDriveSystem() {
  return std::make_unique<WindowsDriveSystem>(ConnectWmi, SystemRegistry(), SystemVolumes());
}

}  // namespace korvanel
