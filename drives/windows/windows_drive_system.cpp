#include "drives/windows/windows_drive_system.h"

#include <windows.h>

#include <cwctype>
#include <vector>

#include "drives/windows/com_wmi_source.h"
#include "drives/windows/wmi_disks.h"
#include "platform/windows/volume_paths.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

constexpr DWORD kVolumeTextChars = MAX_PATH + 1;

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

struct VolumeFacts {
  std::wstring file_system;
  std::wstring label;
  DWORD flags = 0;
};

std::optional<VolumeFacts> ReadVolume(const std::wstring& root) {
  std::vector<wchar_t> label(kVolumeTextChars, L'\0');
  std::vector<wchar_t> file_system(kVolumeTextChars, L'\0');
  VolumeFacts facts;
  if (!GetVolumeInformationW(root.c_str(), label.data(), kVolumeTextChars, nullptr, nullptr, &facts.flags,
                             file_system.data(), kVolumeTextChars)) {
    return std::nullopt;
  }
  facts.label = label.data();
  facts.file_system = file_system.data();
  return facts;
}

// The volume's GUID name: two roots with the same one are the same file system.
std::string VolumeName(const std::wstring& root) {
  wchar_t name[64] = {};
  return GetVolumeNameForVolumeMountPointW(root.c_str(), name, 64) ? Utf8FromWide(name) : std::string();
}

std::vector<std::wstring> LogicalDriveRoots() {
  std::vector<wchar_t> buffer(256, L'\0');
  const DWORD length = GetLogicalDriveStringsW(255, buffer.data());
  std::vector<std::wstring> roots;
  if (length == 0 || length > 255) return roots;
  for (const wchar_t* root = buffer.data(); *root != L'\0'; root += wcslen(root) + 1) roots.emplace_back(root);
  return roots;
}

// "C:" for "C:\", the way the summary names the partition.
std::string DeviceOf(const std::wstring& root) {
  return root.size() >= 2 && root[1] == L':' ? Utf8FromWide(root.substr(0, 2)) : Utf8FromWide(root);
}

MountedDrive Describe(const std::wstring& root, DriveKind kind) {
  MountedDrive drive;
  drive.root = Utf8FromWide(root);
  drive.device = DeviceOf(root);
  drive.device_number = VolumeName(root);
  drive.kind = kind;
  if (const std::optional<VolumeFacts> volume = ReadVolume(root)) {
    drive.file_system = Utf8FromWide(volume->file_system);
    drive.read_only = (volume->flags & FILE_READ_ONLY_VOLUME) != 0;
  }
  return drive;
}

}  // namespace

WindowsDriveSystem::WindowsDriveSystem(WmiConnector connect, RegistryReader& registry)
    : connect_(std::move(connect)), registry_(registry) {}

std::vector<MountedDrive> WindowsDriveSystem::ListDrives() {
  std::vector<MountedDrive> drives;
  for (const std::wstring& root : LogicalDriveRoots()) {
    if (root.empty()) continue;
    const std::optional<DriveKind> kind = ListedKind(GetDriveTypeW(root.c_str()), std::towupper(root[0]));
    if (kind) drives.push_back(Describe(root, *kind));
  }
  return drives;
}

std::optional<std::vector<DiskInfoEntry>> WindowsDriveSystem::ListDisks() {
  std::unique_ptr<WmiQuerySource> wmi = connect_();
  if (!wmi) return std::nullopt;
  return CollectDisks(*wmi, registry_);
}

std::optional<VolumeInfo> WindowsDriveSystem::QueryVolume(const std::string& root) {
  const std::optional<VolumeFacts> volume = ReadVolume(WidePath(root));
  if (!volume) return std::nullopt;
  return VolumeInfo{Utf8FromWide(volume->file_system), Utf8FromWide(volume->label)};
}

int64_t WindowsDriveSystem::QueryDiskSpace(const std::string& path, uint64_t* total) {
  const std::wstring root = SpaceQueryRoot(FullPath(WidePath(path)));
  DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
  if (root.empty() ||
      !GetDiskFreeSpaceW(root.c_str(), &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters)) {
    return -1;
  }
  const uint64_t cluster_bytes = static_cast<uint64_t>(bytes_per_sector) * sectors_per_cluster;
  *total = cluster_bytes * clusters;
  return static_cast<int64_t>(cluster_bytes * free_clusters);
}

std::optional<MountedDrive> WindowsDriveSystem::FindMountOf(const std::string& path) {
  const std::wstring wide = WidePath(path);
  if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  const std::wstring root = VolumeRootOf(wide);
  if (root.empty()) return std::nullopt;
  return Describe(root, DriveKind::kFixed);
}

std::wstring SpaceQueryRoot(const std::wstring& full_path) {
  if (full_path.rfind(L"\\\\", 0) == 0) {
    const size_t server_end = full_path.find(L'\\', 2);
    const size_t share_end = server_end == std::wstring::npos ? server_end : full_path.find(L'\\', server_end + 1);
    return share_end == std::wstring::npos ? full_path : full_path.substr(0, share_end + 1);
  }
  const size_t first = full_path.find(L'\\');
  return first == std::wstring::npos ? full_path : full_path.substr(0, first + 1);
}

}  // namespace korvanel::platform

namespace korvanel {

std::unique_ptr<DriveSystem> CreateDriveSystem() {
  return std::make_unique<platform::WindowsDriveSystem>(platform::ConnectWmi, platform::SystemRegistry());
}

}  // namespace korvanel
