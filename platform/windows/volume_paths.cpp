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

std::wstring LongCapablePath(const std::wstring& path) {
  constexpr size_t kLongestPlainDirectory = MAX_PATH - 12;
  std::wstring full = FullPath(path);
  if (full.size() < kLongestPlainDirectory || full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) return full;
  if (full.size() > 2 && full[1] == L':') return L"\\\\?\\" + full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return full;
}

std::wstring NtPath(const std::wstring& path) {
  const std::wstring full = LongCapablePath(path);
  if (full.empty()) return full;
  if (full.starts_with(L"\\\\?\\")) return L"\\??\\" + full.substr(4);
  if (full.starts_with(L"\\\\")) return L"\\??\\UNC\\" + full.substr(2);
  return L"\\??\\" + full;
}

std::wstring PlainPath(const std::wstring& path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\" + path.substr(7);
  if (path.starts_with(L"\\\\?\\") && path.size() > 5 && path[5] == L':') return path.substr(4);
  return path;
}

std::wstring VolumeRootOf(const std::wstring& path) {
  const std::wstring full = LongCapablePath(path);
  if (full.empty()) return {};
  // The root is never longer than the full path.
  std::vector<wchar_t> root(full.size() + 2, L'\0');
  if (!GetVolumePathNameW(full.c_str(), root.data(), static_cast<DWORD>(root.size()))) return {};
  return PlainPath(root.data());
}

}  // namespace korvanel::platform
