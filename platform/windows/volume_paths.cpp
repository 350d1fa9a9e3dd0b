#include "platform/windows/volume_paths.h"

#include <windows.h>

#include <vector>

#include "platform/windows/wide_text.h"

namespace korvanel::platform {

std::wstring FullPath(const std::wstring& path) {
  return GrowingWideText([&](wchar_t* buffer, DWORD capacity) {
    return GetFullPathNameW(path.c_str(), capacity, buffer, nullptr);
  });
}

std::wstring VolumeRootOf(const std::wstring& path) {
  const std::wstring full = FullPath(path);
  if (full.empty()) return {};
  // The root is never longer than the full path.
  std::vector<wchar_t> root(full.size() + 2, L'\0');
  if (!GetVolumePathNameW(full.c_str(), root.data(), static_cast<DWORD>(root.size()))) return {};
  return root.data();
}

}  // namespace korvanel::platform
