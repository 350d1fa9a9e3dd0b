#include "drives/windows/volume_source.h"

#include <winioctl.h>

#include <algorithm>
#include <cstddef>

#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"

namespace korvanel {
namespace {

constexpr DWORD kVolumeTextChars = MAX_PATH + 1;
constexpr int kMostExtents = 64;

// The NUL-separated list GetVolumePathNamesForVolumeNameW fills, as separate paths.
std::vector<std::wstring> MountPointsOf(const std::wstring& volume) {
  std::vector<wchar_t> buffer(MAX_PATH, L'\0');
  DWORD needed = 0;
  if (!GetVolumePathNamesForVolumeNameW(volume.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
    if (GetLastError() != ERROR_MORE_DATA) return {};
    buffer.assign(needed, L'\0');
    if (!GetVolumePathNamesForVolumeNameW(volume.c_str(), buffer.data(), needed, &needed)) return {};
  }
  std::vector<std::wstring> paths;
  for (const wchar_t* path = buffer.data(); *path != L'\0'; path += wcslen(path) + 1) paths.emplace_back(path);
  return paths;
}

// The disks under a volume. The volume is opened without any access, which needs no rights.
std::vector<int> DisksOf(const std::wstring& volume) {
  std::wstring device = volume;
  if (!device.empty() && device.back() == L'\\') device.pop_back();  // the volume itself, not its root directory
  const platform::UniqueHandle opened(CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                  OPEN_EXISTING, 0, nullptr));
  if (!opened) return {};
  std::vector<unsigned char> buffer(sizeof(VOLUME_DISK_EXTENTS) + kMostExtents * sizeof(DISK_EXTENT));
  DWORD returned = 0;
  if (!DeviceIoControl(opened.get(), IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, buffer.data(),
                       static_cast<DWORD>(buffer.size()), &returned, nullptr)) {
    return {};
  }
  const auto* extents = reinterpret_cast<const VOLUME_DISK_EXTENTS*>(buffer.data());
  std::vector<int> disks;
  for (DWORD i = 0; i < extents->NumberOfDiskExtents; ++i) {
    const int disk = static_cast<int>(extents->Extents[i].DiskNumber);
    if (std::find(disks.begin(), disks.end(), disk) == disks.end()) disks.push_back(disk);
  }
  return disks;
}

class SystemVolumeSource : public VolumeSource {
 public:
  std::vector<std::wstring> LogicalDriveRoots() override {
    std::vector<wchar_t> buffer(256, L'\0');
    const DWORD length = GetLogicalDriveStringsW(255, buffer.data());
    std::vector<std::wstring> roots;
    if (length == 0 || length > 255) return roots;
    for (const wchar_t* root = buffer.data(); *root != L'\0'; root += wcslen(root) + 1) roots.emplace_back(root);
    return roots;
  }

  UINT DriveType(const std::wstring& root) override { return GetDriveTypeW(root.c_str()); }

  std::optional<VolumeFacts> ReadVolume(const std::wstring& root) override {
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

  std::vector<VolumePlace> Volumes() override {
    std::vector<VolumePlace> volumes;
    wchar_t name[MAX_PATH] = {};
    const HANDLE find = FindFirstVolumeW(name, MAX_PATH);
    if (find == INVALID_HANDLE_VALUE) return volumes;
    do {
      volumes.push_back({name, MountPointsOf(name), DisksOf(name)});
    } while (FindNextVolumeW(find, name, MAX_PATH));
    FindVolumeClose(find);
    return volumes;
  }

  std::optional<int> BusType(int disk) override {
    const std::wstring device = L"\\\\.\\PhysicalDrive" + std::to_wstring(disk);
    const platform::UniqueHandle opened(CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                    OPEN_EXISTING, 0, nullptr));
    if (!opened) return std::nullopt;
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    STORAGE_DEVICE_DESCRIPTOR descriptor{};
    DWORD returned = 0;
    // The fixed part is enough: the bus type lies in it.
    if (!DeviceIoControl(opened.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &descriptor,
                         sizeof descriptor, &returned, nullptr) ||
        returned < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof descriptor.BusType) {
      return std::nullopt;
    }
    return static_cast<int>(descriptor.BusType);
  }
};

}  // namespace

std::shared_ptr<VolumeSource> SystemVolumes() {
  static const std::shared_ptr<VolumeSource> volumes = std::make_shared<SystemVolumeSource>();
  return volumes;
}

}  // namespace korvanel
