#include "platform/windows/handle_paths.h"

#include <array>

#include "platform/windows/volume_paths.h"
#include "platform/windows/volume_query.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

std::wstring WithoutTrailingBackslash(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

// Windows 10 1709 and later: the name goes now, even while others hold the object open.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;

bool DeleteWithPosixSemantics(HANDLE handle) {
  DWORD flags = kDispositionDelete | kDispositionPosixSemantics;
  return SetFileInformationByHandle(handle, kFileDispositionInfoEx, &flags, sizeof flags) != 0;
}

// What an older system or another file system says when it does not know POSIX deletes.
bool PosixDeleteUnknown(DWORD error) {
  return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

}  // namespace

SysError DescribedError(DWORD code, std::string description) {
  SysError error = Win32Error(code);
  error.description = std::move(description);
  return error;
}

std::wstring FinalPath(HANDLE handle) {
  VolumeQuery& query = CurrentVolumeQuery();
  for (const DWORD form : {VOLUME_NAME_DOS, VOLUME_NAME_GUID}) {
    std::wstring path = query.FinalPathName(handle, form);
    if (!path.empty()) return path;
  }
  // "\Device\ImDisk0\dir": the object manager's name, which the W functions reach through GLOBALROOT.
  const std::wstring device_path = query.FinalPathName(handle, VOLUME_NAME_NT);
  return device_path.starts_with(L"\\") ? L"\\\\?\\GLOBALROOT" + device_path : std::wstring();
}

std::wstring DirectoryPath(const HeldDirectory& directory) {
  const std::wstring path = WithoutTrailingBackslash(FinalPath(directory.handle));
  if (!path.empty() && PathNames(path + L"\\", directory.handle)) return path;
  // The system cannot tell, tells a form that cannot be opened again (Wine's GLOBALROOT), or tells
  // a path that someone else's directory holds now (Wine lets a held directory's parent be renamed).
  const std::wstring opened_as = WithoutTrailingBackslash(directory.opened_as);
  if (!opened_as.empty() && PathNames(opened_as + L"\\", directory.handle)) return opened_as;
  return {};
}

std::wstring PathInDirectory(const HeldDirectory& directory, const std::wstring& name) {
  const std::wstring path = DirectoryPath(directory);
  return path.empty() ? path : path + L"\\" + name;
}

std::string ReadablePath(HANDLE handle) { return Utf8FromWide(PlainPath(FinalPath(handle))); }

bool OwnedByCurrentUser(HANDLE handle) {
  VolumeQuery& query = CurrentVolumeQuery();
  return !query.KeepsOwners(handle) || query.OwnerIsCurrentUser(handle);
}

bool IsDeviceName(std::wstring_view name) {
  // Windows drops trailing dots and blanks, then looks at what comes before an extension or a
  // stream, itself without trailing blanks.
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
  name = name.substr(0, name.find_first_of(L".:"));
  while (!name.empty() && name.back() == L' ') name.remove_suffix(1);
  static constexpr std::array<std::wstring_view, 6> kNames = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  for (std::wstring_view device : kNames) {
    if (EqualIgnoringCase(name, device)) return true;
  }
  if (name.size() != 4) return false;
  const bool port = EqualIgnoringCase(name.substr(0, 3), L"COM") || EqualIgnoringCase(name.substr(0, 3), L"LPT");
  const wchar_t number = name[3];
  // The superscript digits count too.
  return port && ((number >= L'1' && number <= L'9') || number == L'\u00B9' || number == L'\u00B2' ||
                  number == L'\u00B3');
}

bool IsPlainFileName(std::wstring_view name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  if (name.back() == L'.' || name.back() == L' ') return false;
  for (wchar_t c : name) {
    if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
  }
  return !IsDeviceName(name);
}

FileIdentity IdentityOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) return {};
  return {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

bool SameObject(HANDLE a, HANDLE b) {
  const FileIdentity first = IdentityOf(a);
  return first != FileIdentity{} && first == IdentityOf(b);
}

bool PathNames(const std::wstring& path, HANDLE handle) {
  const UniqueHandle at_path(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return at_path && SameObject(at_path.get(), handle);
}

UniqueHandle OpenInDirectory(const HeldDirectory& directory, const std::wstring& name, const OpenRequest& request,
                             SysError* error) {
  if (!IsPlainFileName(name)) {
    *error = DescribedError(ERROR_INVALID_NAME, "not a plain file name: " + Utf8FromWide(name));
    return {};
  }
  // The "\\?\" form is taken as it stands: no device names, no dropped dots or blanks.
  const std::wstring path = PathInDirectory(directory, name);
  const SysError moved = DescribedError(ERROR_FILE_INVALID, "the directory was moved while " + Utf8FromWide(name) +
                                                                " was being opened in it");
  if (path.empty()) {
    *error = moved;
    return {};
  }
  const bool creates = request.disposition == CREATE_NEW;
  UniqueHandle opened(CreateFileW(path.c_str(), request.access | (creates ? DELETE : 0), request.share,
                                  request.security, request.disposition, request.flags, nullptr));
  if (!opened) {
    *error = LastWin32Error();
    return {};
  }
  // The directory's path is asked and checked again: a system that does not keep a held directory in
  // place (Wine lets its parent be renamed) may have moved it meanwhile.
  const std::wstring after = DirectoryPath(directory);
  const bool same_path = !after.empty() && path.size() > after.size() &&
                         path.compare(0, after.size() + 1, after + L"\\") == 0;
  // And the name in it must still be what was opened.
  if (same_path && PathNames(path, opened.get())) return opened;
  // The directory was moved while the path was on its way: what we made elsewhere goes again.
  if (creates) DeleteOnClose(opened.get());
  *error = moved;
  return {};
}

SysError DeleteInDirectory(const HeldDirectory& directory, const std::wstring& name) {
  SysError error;
  const UniqueHandle entry =
      OpenInDirectory(directory, name,
                      {DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT},
                      &error);
  return entry ? DeleteOnClose(entry.get()) : error;
}

SysError DeleteOnClose(HANDLE handle) {
  if (DeleteWithPosixSemantics(handle)) return {};
  const DWORD posix_error = GetLastError();
  if (!PosixDeleteUnknown(posix_error)) return Win32Error(posix_error);
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) ? SysError{}
                                                                                                 : LastWin32Error();
}

}  // namespace korvanel::platform
