#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>
#include <sddl.h>

#include "platform/paths.h"
#include "platform/windows/owner_only_security.h"
#include "platform/windows/unique_handle.h"
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

// The directory must be ours and not a link to somewhere else: a planted junction would send the
// report elsewhere. Asked of the opened directory, so the name cannot be swapped in between.
SysError CheckPrivateDirectory(const std::wstring& path) {
  UniqueHandle directory(CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!directory) return LastWin32Error();
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(directory.get(), &information)) return LastWin32Error();
  if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return Win32Error(ERROR_DIRECTORY);
  if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return Win32Error(ERROR_ACCESS_DENIED);
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD read = GetSecurityInfo(directory.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                     nullptr, nullptr, &descriptor);
  if (read != ERROR_SUCCESS) return Win32Error(read);
  wchar_t* owner_text = nullptr;
  const bool ours = ConvertSidToStringSidW(owner, &owner_text) && CurrentUserSid() == owner_text;
  if (owner_text != nullptr) LocalFree(owner_text);
  LocalFree(descriptor);
  return ours ? SysError{} : Win32Error(ERROR_ACCESS_DENIED);
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

std::string UserConfigDirectory() {
  wchar_t* folder = nullptr;
  std::wstring roaming;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &folder))) roaming = folder;
  CoTaskMemFree(folder);
  if (roaming.empty()) roaming = EnvironmentValue(L"APPDATA");
  return Utf8FromWide(WithoutTrailingBackslash(roaming));
}

std::string PrivateTempDirectory(SysError* error) {
  const std::wstring path = WidePath(TempDirectory()) + L"\\" + kPrivateFolder;
  OwnerOnlySecurity security;
  SysError problem;
  if (!CreateDirectoryW(path.c_str(), security.get()) && GetLastError() != ERROR_ALREADY_EXISTS) {
    problem = LastWin32Error();
  } else {
    problem = CheckPrivateDirectory(path);
  }
  if (error != nullptr) *error = problem;
  return problem ? std::string() : Utf8FromWide(path);
}

}  // namespace korvanel::platform
