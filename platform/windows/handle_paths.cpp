#include "platform/windows/handle_paths.h"

#include <aclapi.h>

#include <array>
#include <vector>

#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

constexpr std::wstring_view kLongPathPrefix = L"\\\\?\\";

std::wstring WithoutTrailingBackslash(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring FinalPathAs(HANDLE handle, DWORD volume_form) {
  return GrowingWideText([&](wchar_t* buffer, DWORD capacity) {
    return GetFinalPathNameByHandleW(handle, buffer, capacity, FILE_NAME_NORMALIZED | volume_form);
  });
}

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

// The token's SID of the given kind (TokenUser, TokenOwner), in `buffer`; null when unreadable.
PSID TokenSid(HANDLE token, TOKEN_INFORMATION_CLASS kind, std::vector<unsigned char>& buffer) {
  DWORD bytes = 0;
  GetTokenInformation(token, kind, nullptr, 0, &bytes);
  if (bytes == 0) return nullptr;
  buffer.resize(bytes);
  if (!GetTokenInformation(token, kind, buffer.data(), bytes, &bytes)) return nullptr;
  return kind == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                           : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner;
}

// Whether `handle` lies directly in the directory whose final path is `directory`.
bool LiesIn(HANDLE handle, const std::wstring& directory) {
  const std::wstring path = FinalPath(handle);
  const size_t separator = path.rfind(L'\\');
  return separator != std::wstring::npos && separator + 1 < path.size() && separator == directory.size() &&
         path.compare(0, separator, directory) == 0;
}

}  // namespace

SysError DescribedError(DWORD code, std::string description) {
  SysError error = Win32Error(code);
  error.description = std::move(description);
  return error;
}

std::wstring FinalPath(HANDLE handle) {
  const std::wstring dos = FinalPathAs(handle, VOLUME_NAME_DOS);
  return dos.empty() ? FinalPathAs(handle, VOLUME_NAME_GUID) : dos;
}

std::wstring PathInDirectory(HANDLE directory, const std::wstring& name) {
  const std::wstring path = WithoutTrailingBackslash(FinalPath(directory));
  return path.empty() ? path : path + L"\\" + name;
}

std::string ReadablePath(HANDLE handle) {
  std::wstring path = FinalPath(handle);
  if (path.starts_with(L"\\\\?\\UNC\\")) {
    path = L"\\" + path.substr(7);
  } else if (path.starts_with(kLongPathPrefix) && path.size() > 6 && path[5] == L':') {
    path = path.substr(kLongPathPrefix.size());
  }
  return Utf8FromWide(path);
}

bool OwnedByCurrentUser(HANDLE handle) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  HANDLE raw_token = nullptr;
  bool ours = false;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw_token)) {
    UniqueHandle token(raw_token);
    std::vector<unsigned char> user_buffer, owner_buffer;
    const PSID user = TokenSid(token.get(), TokenUser, user_buffer);
    const PSID default_owner = TokenSid(token.get(), TokenOwner, owner_buffer);
    ours = (user != nullptr && EqualSid(owner, user)) || (default_owner != nullptr && EqualSid(owner, default_owner));
  }
  LocalFree(descriptor);
  return ours;
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

UniqueHandle OpenInDirectory(HANDLE directory, const std::wstring& name, const OpenRequest& request, SysError* error) {
  if (!IsPlainFileName(name)) {
    *error = DescribedError(ERROR_INVALID_NAME, "not a plain file name: " + Utf8FromWide(name));
    return {};
  }
  // The "\\?\" form is taken as it stands: no device names, no dropped dots or blanks.
  const std::wstring path = PathInDirectory(directory, name);
  if (path.empty()) {
    *error = LastWin32Error();
    return {};
  }
  const bool creates = request.disposition == CREATE_NEW;
  UniqueHandle opened(CreateFileW(path.c_str(), request.access | (creates ? DELETE : 0), request.share,
                                  request.security, request.disposition, request.flags, nullptr));
  if (!opened) {
    *error = LastWin32Error();
    return {};
  }
  // The path of the directory is asked again and opened again: a system that does not keep a held
  // directory in place (Wine lets its parent be renamed) may still tell its old path.
  const std::wstring after = WithoutTrailingBackslash(FinalPath(directory));
  const bool same_path = path.size() > after.size() && path.compare(0, after.size() + 1, after + L"\\") == 0;
  if (same_path && PathNames(after + L"\\", directory) && LiesIn(opened.get(), after)) return opened;
  // The directory was moved while the path was on its way: what we made elsewhere goes again.
  if (creates) DeleteOnClose(opened.get());
  *error = DescribedError(ERROR_FILE_INVALID, "the directory was moved while " + Utf8FromWide(name) +
                                                  " was being opened in it");
  return {};
}

SysError DeleteInDirectory(HANDLE directory, const std::wstring& name) {
  SysError error;
  const UniqueHandle entry =
      OpenInDirectory(directory, name,
                      {DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT},
                      &error);
  return entry ? DeleteOnClose(entry.get()) : error;
}

SysError DeleteOnClose(HANDLE handle) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) ? SysError{}
                                                                                                 : LastWin32Error();
}

}  // namespace korvanel::platform
