#include <windows.h>
#include <shlobj.h>

#include "platform/paths.h"
#include "platform/windows/handle_paths.h"
#include "platform/windows/owner_only_security.h"
#include "platform/windows/quiet_drive_errors.h"
#include "platform/windows/replace_in_directory.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/volume_paths.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

constexpr const wchar_t* kPrivateFolder = L"Korvanel";

std::wstring WithoutTrailingBackslash(std::wstring path) {
  // "C:\" keeps its backslash: without it the text names the drive's current directory.
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

// Short 8.3 names ("RUNNER~1") turned into the long ones, so that paths compare as the user sees them.
std::wstring LongPath(const std::wstring& path) {
  std::wstring long_path = GrowingWideText([&](wchar_t* buffer, DWORD capacity) {
    return GetLongPathNameW(path.c_str(), buffer, capacity);
  });
  return long_path.empty() ? path : long_path;
}

std::wstring EnvironmentValue(const wchar_t* name) {
  return GrowingWideText([&](wchar_t* buffer, DWORD capacity) {
    return GetEnvironmentVariableW(name, buffer, capacity);
  });
}

// Creates the private directory when it is missing and opens it. It must be ours and not a link to
// somewhere else: a planted junction would send the report elsewhere. Asked of the opened
// directory, which is held without delete sharing, so the name cannot be swapped meanwhile.
UniqueHandle OpenPrivateDirectory(const std::wstring& path, SysError* error) {
  OwnerOnlySecurity security;
  if (!CreateDirectoryW(path.c_str(), security.get()) && GetLastError() != ERROR_ALREADY_EXISTS) {
    *error = LastWin32Error();
    return {};
  }
  UniqueHandle directory(CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!directory) {
    *error = LastWin32Error();
    return {};
  }
  const std::string shown = Utf8FromWide(path);
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(directory.get(), &information)) {
    *error = LastWin32Error();
  } else if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    *error = DescribedError(ERROR_ACCESS_DENIED, shown + " is a link or another reparse point");
  } else if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = DescribedError(ERROR_DIRECTORY, shown + " is not a directory");
  } else if (!OwnedByCurrentUser(directory.get())) {
    *error = DescribedError(ERROR_ACCESS_DENIED, shown + " belongs to another user");
  }
  return *error ? UniqueHandle() : std::move(directory);
}

// The form in which two names of one directory compare equal: long names, "\" only, no doubled
// separators (a UNC path keeps its leading pair), lower case, one trailing separator.
std::wstring ComparableDirectory(const std::string& path) {
  const std::wstring wide = LongPath(WidePath(path));
  std::wstring collapsed;
  for (size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == L'\\' && i > 1 && collapsed.back() == L'\\') continue;
    collapsed += wide[i];
  }
  if (collapsed.empty() || collapsed.back() != L'\\') collapsed += L'\\';
  std::wstring lower(collapsed.size(), L'\0');
  LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, collapsed.data(), static_cast<int>(collapsed.size()),
                lower.data(), static_cast<int>(lower.size()), nullptr, nullptr, 0);
  return lower;
}

}  // namespace

bool PathLiesUnder(const std::string& path, const std::string& directory) {
  return ComparableDirectory(path).starts_with(ComparableDirectory(directory));
}

std::string ExecutablePath() {
  return Utf8FromWide(GrowingWideText([](wchar_t* buffer, DWORD capacity) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer, capacity);
    // A cut-off name comes back at the full capacity: ask for more.
    return length == capacity ? capacity : length;
  }));
}

std::string TempDirectory() {
  const std::wstring temp = GrowingWideText([](wchar_t* buffer, DWORD capacity) {
    return GetTempPathW(capacity, buffer);
  });
  return Utf8FromWide(WithoutTrailingBackslash(LongPath(temp)));
}

std::string HomeDirectory() {
  wchar_t* folder = nullptr;
  std::string home;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Profile, 0, nullptr, &folder))) home = Utf8FromWide(folder);
  CoTaskMemFree(folder);
  return home;
}

std::string UserConfigDirectory() {
  wchar_t* folder = nullptr;
  std::wstring roaming;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &folder))) roaming = folder;
  CoTaskMemFree(folder);
  if (roaming.empty()) roaming = EnvironmentValue(L"APPDATA");
  return Utf8FromWide(WithoutTrailingBackslash(roaming));
}

SysError ResolveDirectory(const std::string& path, std::string* resolved) {
  const QuietDriveErrors quiet;  // an empty card reader fails, without a box
  const std::wstring full = LongCapablePath(WidePath(path));
  if (full.empty()) return LastWin32Error();
  // Opened without FILE_FLAG_OPEN_REPARSE_POINT: links, junctions and mounted folders are followed.
  const UniqueHandle directory(CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!directory) return LastWin32Error();
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(directory.get(), &information)) return LastWin32Error();
  if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return DescribedError(ERROR_DIRECTORY, "not a directory");
  // Where the directory really is, in the form people read; a volume the system names only by its
  // GUID or device keeps the path it was given.
  const std::wstring final_path = PlainPath(FinalPath(directory.get()));
  *resolved = Utf8FromWide(final_path.starts_with(L"\\\\?\\") || final_path.empty() ? PlainPath(full) : final_path);
  return {};
}

PrivateFile WritePrivateTempFile(const std::string& name, const std::vector<std::string>& pieces) {
  const std::wstring directory_path = WidePath(TempDirectory()) + L"\\" + kPrivateFolder;
  PrivateFile file;
  file.path = Utf8FromWide(directory_path) + "\\" + name;
  const UniqueHandle directory = OpenPrivateDirectory(directory_path, &file.error);
  // Written through the directory just checked, which nobody can rename while we hold it.
  if (directory) file.error = ReplaceFileIn({directory.get(), directory_path}, WideFromUtf8(name), pieces);
  return file;
}

}  // namespace korvanel::platform
