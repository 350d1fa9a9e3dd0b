// Reading and replacing small files by the rules of platform/files.h. The directory is opened once
// and held without delete sharing, so nobody can rename it meanwhile; its file is then reached
// through it (handle_paths.h), never by the whole path again. Device names (CON, NUL, COM1 ...) and
// the device namespace (\\.\) are refused before anything is opened.

#include <windows.h>
#include <aclapi.h>

#include <random>

// <windows.h> maps ReplaceFile to ReplaceFileW; in this file it is ours (platform/files.h).
#undef ReplaceFile

#include "common/size_limit_text.h"
#include "platform/files.h"
#include "platform/windows/handle_paths.h"
#include "platform/windows/owner_only_security.h"
#include "platform/windows/replace_in_directory.h"
#include "platform/windows/volume_paths.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

constexpr int kNameAttempts = 16;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kMostPerWrite = 1u << 30;

SysError NotARegularFile() { return DescribedError(ERROR_INVALID_PARAMETER, "not a regular file"); }

SysError RefusedLink() {
  return DescribedError(ERROR_ACCESS_DENIED,
                        "a symbolic link that is not a link of the user's own to a regular file of the user's own");
}

SysError RefusedReparsePoint() {
  return DescribedError(ERROR_ACCESS_DENIED, "a junction or other reparse point, which is not followed");
}

// What lies at a name, opened as itself: its attributes, owner and access rules can be read,
// nothing else, and opening it starts nothing.
OpenRequest EntryRequest() {
  return {READ_CONTROL | FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING,
          FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS};
}

FILE_ATTRIBUTE_TAG_INFO AttributesOf(HANDLE handle) {
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info)) {
    info.FileAttributes = INVALID_FILE_ATTRIBUTES;
  }
  return info;
}

bool IsReparsePoint(const FILE_ATTRIBUTE_TAG_INFO& info) {
  return (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsSymbolicLink(const FILE_ATTRIBUTE_TAG_INFO& info) {
  return IsReparsePoint(info) && info.ReparseTag == IO_REPARSE_TAG_SYMLINK;
}

// A regular file on a disk: no directory, no reparse point, no device or pipe.
SysError CheckRegularFile(HANDLE handle) {
  const FILE_ATTRIBUTE_TAG_INFO info = AttributesOf(handle);
  if (info.FileAttributes == INVALID_FILE_ATTRIBUTES) return LastWin32Error();
  if (IsReparsePoint(info)) return RefusedReparsePoint();
  if ((info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || GetFileType(handle) != FILE_TYPE_DISK) {
    return NotARegularFile();
  }
  return {};
}

// The device namespace (\\.\PhysicalDrive0, \\.\pipe\x) and what GetFullPathNameW turns a device
// name into ("C:\x\nul.txt" becomes "\\.\nul").
bool IsDevicePath(const std::wstring& full) {
  if (full.starts_with(L"\\\\.\\") || full.starts_with(L"\\??\\")) return true;
  if (full.starts_with(L"\\\\?\\")) {
    const std::wstring_view rest = std::wstring_view(full).substr(4);
    const bool drive = rest.size() >= 3 && rest[1] == L':' && rest[2] == L'\\';
    if (!drive && !rest.starts_with(L"UNC\\")) return true;
  }
  return IsDeviceName(full.substr(full.rfind(L'\\') + 1));
}

struct SplitName {
  std::wstring directory;
  std::wstring name;
};

// The absolute path's directory and name; "C:\x" gives "C:\" and "x" (without its backslash, "C:"
// would name the drive's current directory, and "\\?\C:" the volume itself).
SplitName Split(const std::wstring& full) {
  const size_t separator = full.rfind(L'\\');
  if (separator == std::wstring::npos) return {L".", full};
  std::wstring directory = full.substr(0, separator);
  const bool volume_root = directory.ends_with(L':') || (directory.starts_with(L"\\\\?\\Volume{") && directory.ends_with(L'}'));
  if (volume_root) directory += L'\\';
  return {directory, full.substr(separator + 1)};
}

// Held without delete sharing: nobody can rename or remove the directory while we work in it.
UniqueHandle OpenDirectory(const std::wstring& path, SysError* error) {
  UniqueHandle directory(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!directory) *error = LastWin32Error();
  return directory;
}

// The access rules a replacement keeps: the old file's own rules, when it has more than its
// directory hands down (which the new file gets anyway).
class KeptAccessRules {
 public:
  KeptAccessRules() = default;
  KeptAccessRules(const KeptAccessRules&) = delete;
  KeptAccessRules& operator=(const KeptAccessRules&) = delete;
  ~KeptAccessRules() {
    if (descriptor_ != nullptr) LocalFree(descriptor_);
  }

  SysError Read(HANDLE entry) {
    const DWORD read = GetSecurityInfo(entry, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl_,
                                       nullptr, &descriptor_);
    if (read != ERROR_SUCCESS) return Win32Error(read);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor_, &control, &revision);
    protected_ = (control & SE_DACL_PROTECTED) != 0;
    own_ = protected_ || dacl_ == nullptr || HasExplicitEntry(dacl_);
    return {};
  }

  SysError Apply(HANDLE file) const {
    if (!own_) return {};
    const SECURITY_INFORMATION what =
        DACL_SECURITY_INFORMATION | (protected_ ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
    const DWORD set = SetSecurityInfo(file, SE_FILE_OBJECT, what, nullptr, nullptr, dacl_, nullptr);
    return set == ERROR_SUCCESS ? SysError{} : Win32Error(set);
  }

 private:
  static bool HasExplicitEntry(PACL dacl) {
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      void* entry = nullptr;
      if (GetAce(dacl, i, &entry) && (static_cast<ACE_HEADER*>(entry)->AceFlags & INHERITED_ACE) == 0) return true;
    }
    return false;
  }

  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  PACL dacl_ = nullptr;
  bool protected_ = false;
  bool own_ = false;
};

// Where a replacement goes: the directory that holds the file (the link's target's directory when
// the name is a link) and the file's name there.
struct Destination {
  UniqueHandle owned_directory;  // set when the file lies elsewhere than the name given
  HeldDirectory directory;
  std::wstring name;
  bool exists = false;
  FileIdentity identity;
  KeptAccessRules rules;
};

SysError TakeExistingFile(HANDLE file, Destination* out) {
  out->identity = IdentityOf(file);
  if (out->identity == FileIdentity{}) return LastWin32Error();
  out->exists = true;
  return out->rules.Read(file);
}

// A link is followed once, and only when the link and the regular file it names are both ours:
// another user's link could send our write to any file we may write.
SysError FollowOwnLink(const HeldDirectory& directory, const std::wstring& name, HANDLE link, Destination* out) {
  if (!OwnedByCurrentUser(link)) return RefusedLink();
  const std::wstring through_link = PathInDirectory(directory, name);
  const UniqueHandle target(CreateFileW(through_link.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
  if (!target) return LastWin32Error();
  if (CheckRegularFile(target.get()) || !OwnedByCurrentUser(target.get())) return RefusedLink();
  // The link must still be the one checked, and the target reachable by name in its directory.
  SysError error;
  const UniqueHandle link_now = OpenInDirectory(directory, name, EntryRequest(), &error);
  if (!link_now || !SameObject(link, link_now.get())) return RefusedLink();
  const SplitName split = Split(FinalPath(target.get()));
  out->owned_directory = OpenDirectory(split.directory, &error);
  if (!out->owned_directory) return error;
  out->directory = {out->owned_directory.get(), split.directory};
  const UniqueHandle there = OpenInDirectory(out->directory, split.name, EntryRequest(), &error);
  if (!there || !SameObject(there.get(), target.get())) return RefusedLink();
  out->name = split.name;
  return TakeExistingFile(there.get(), out);
}

SysError FindDestination(const HeldDirectory& directory, const std::wstring& name, Destination* out) {
  SysError error;
  const UniqueHandle entry = OpenInDirectory(directory, name, EntryRequest(), &error);
  if (!entry) {
    if (!error.Is(ENOENT)) return error;
    out->directory = directory;
    out->name = name;
    return {};
  }
  const FILE_ATTRIBUTE_TAG_INFO info = AttributesOf(entry.get());
  if (IsSymbolicLink(info)) return FollowOwnLink(directory, name, entry.get(), out);
  if (SysError refused = CheckRegularFile(entry.get())) return refused;
  // Replacing another user's file would take it from them (the new file is ours).
  if (!OwnedByCurrentUser(entry.get())) return DescribedError(ERROR_ACCESS_DENIED, "the file belongs to another user");
  out->directory = directory;
  out->name = name;
  return TakeExistingFile(entry.get(), out);
}

std::wstring TemporaryName(const std::wstring& name) {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  return name + L".tmp" + std::to_wstring(generator() % 1000000000);
}

SysError WriteAll(HANDLE file, const std::vector<std::string>& pieces) {
  for (const std::string& piece : pieces) {
    for (size_t done = 0; done < piece.size();) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(piece.size() - done, kMostPerWrite));
      DWORD written = 0;
      if (!WriteFile(file, piece.data() + done, chunk, &written, nullptr)) return LastWin32Error();
      if (written == 0) return Win32Error(ERROR_DISK_FULL);
      done += written;
    }
  }
  return {};
}

// The name must still be what was checked: the file we replace, or nothing when we create one.
SysError CheckUnchanged(const Destination& destination) {
  SysError error;
  const UniqueHandle now = OpenInDirectory(destination.directory, destination.name, EntryRequest(), &error);
  if (!now && !error.Is(ENOENT)) return error;
  const bool exists = static_cast<bool>(now);
  if (exists == destination.exists && (!exists || IdentityOf(now.get()) == destination.identity)) return {};
  return DescribedError(ERROR_RETRY, "replaced by someone else while it was being written");
}

bool Rename(HANDLE file, HANDLE root, const std::wstring& name) {
  const size_t name_bytes = name.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name_bytes);
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->RootDirectory = root;
  rename->FileNameLength = static_cast<DWORD>(name_bytes);
  std::copy(name.begin(), name.end(), rename->FileName);
  return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()));
}

// Renames the open file to `name` in `directory`, relative to the directory's handle: no path is
// looked up again. A file system that refuses relative renames (Wine's does) gets the path the
// held directory has now, in the system's own form ("\??\C:\dir\name").
SysError RenameInto(HANDLE file, const HeldDirectory& directory, const std::wstring& name) {
  if (Rename(file, directory.handle, name)) return {};
  if (GetLastError() != ERROR_INVALID_PARAMETER) return LastWin32Error();
  const std::wstring path = NtPath(PathInDirectory(directory, name));
  if (path.empty()) return Win32Error(ERROR_INVALID_PARAMETER);
  return Rename(file, nullptr, path) ? SysError{} : LastWin32Error();
}

SysError WriteDestination(const Destination& destination, const std::vector<std::string>& pieces) {
  SysError error;
  UniqueHandle file;
  // The user owns the replacement even when the run is elevated; its rules come from the directory
  // or, below, from the old file.
  OwnerOnlySecurity owner(OwnerOnlySecurity::Access::kInherited);
  for (int attempt = 0; attempt < kNameAttempts && !file; ++attempt) {
    file = OpenInDirectory(destination.directory, TemporaryName(destination.name),
                           {GENERIC_WRITE | WRITE_DAC, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                            owner.get()},
                           &error);
    if (!file && !error.Is(EEXIST)) return error;
  }
  if (!file) return error;
  error = WriteAll(file.get(), pieces);
  if (!error && destination.exists) error = destination.rules.Apply(file.get());
  // The rename must not reach the disk before the data, or a crash leaves an empty file.
  if (!error && !FlushFileBuffers(file.get())) error = LastWin32Error();
  if (!error) error = CheckUnchanged(destination);
  if (!error) error = RenameInto(file.get(), destination.directory, destination.name);
  if (error) DeleteOnClose(file.get());
  return error;
}

// The directory of `path`, opened, and the name in it; refuses what is no file name at all.
struct ParentDirectory {
  UniqueHandle handle;
  std::wstring path;
  std::wstring name;
  HeldDirectory Held() const { return {handle.get(), path}; }
};

ParentDirectory OpenParentDirectory(const std::string& path, SysError* error) {
  ParentDirectory parent;
  const std::wstring full = LongCapablePath(WidePath(path));
  if (full.empty()) {
    *error = LastWin32Error();
    return parent;
  }
  if (IsDevicePath(full)) {
    *error = NotARegularFile();
    return parent;
  }
  const SplitName split = Split(full);
  parent.path = split.directory;
  parent.name = split.name;
  parent.handle = OpenDirectory(split.directory, error);
  return parent;
}

}  // namespace

SysError ReplaceFileIn(const HeldDirectory& directory, const std::wstring& name, const std::vector<std::string>& pieces) {
  Destination destination;
  if (SysError error = FindDestination(directory, name, &destination)) return error;
  return WriteDestination(destination, pieces);
}

SysError ReplaceFile(const std::string& path, const std::vector<std::string>& pieces) {
  SysError error;
  const ParentDirectory parent = OpenParentDirectory(path, &error);
  if (!parent.handle) return error;
  return ReplaceFileIn(parent.Held(), parent.name, pieces);
}

SysError CheckReplaceable(const std::string& path) {
  SysError error;
  const ParentDirectory parent = OpenParentDirectory(path, &error);
  if (!parent.handle) return error;
  Destination destination;
  return FindDestination(parent.Held(), parent.name, &destination);
}

SysError ReadRegularFile(const std::string& path, size_t max_bytes, std::string* content) {
  content->clear();
  const std::wstring full = LongCapablePath(WidePath(path));
  if (full.empty()) return LastWin32Error();
  // Refused before anything is opened: opening a device acts (a serial port, a console, a pipe).
  if (IsDevicePath(full)) return NotARegularFile();
  const UniqueHandle entry(CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!entry) return LastWin32Error();
  const bool link = IsSymbolicLink(AttributesOf(entry.get()));
  if (!link) {
    if (SysError error = CheckRegularFile(entry.get())) return error;
  }
  const UniqueHandle file(CreateFileW(full.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return LastWin32Error();
  if (SysError error = CheckRegularFile(file.get())) return error;
  if (!link && !SameObject(entry.get(), file.get())) {
    return DescribedError(ERROR_RETRY, "replaced by something else while it was being opened");
  }
  const SysError too_large = DescribedError(ERROR_FILE_TOO_LARGE, "larger than " + SizeLimitText(max_bytes));
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && static_cast<uint64_t>(size.QuadPart) > max_bytes) return too_large;
  // The limit is kept while reading too: the file may grow meanwhile.
  char buffer[16384];
  for (;;) {
    DWORD count = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &count, nullptr)) {
      content->clear();
      return LastWin32Error();
    }
    if (count == 0) return {};
    if (content->size() + count > max_bytes) {
      content->clear();
      return too_large;
    }
    content->append(buffer, count);
  }
}

}  // namespace korvanel::platform
