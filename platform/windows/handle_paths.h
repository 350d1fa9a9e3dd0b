#pragma once
// Files reached through an open directory. Windows has no openat: a file in a directory is opened
// by a path. These build the path from what the open directory handle says it is now and check,
// with the new handle, that what was opened lies in that very directory. A directory renamed or
// replaced by someone else in between can then not send an open anywhere else.

#include <windows.h>

#include <string>
#include <string_view>

#include "common/sys_error.h"
#include "platform/windows/unique_handle.h"

namespace korvanel::platform {

// An error with the Win32 code and our own description of what is wrong.
SysError DescribedError(DWORD code, std::string description);

// Where the open file or directory lies now, as "\\?\C:\dir\name" (or "\\?\UNC\server\share\..."),
// "\\?\Volume{...}\..." on a volume without a drive letter, or "\\?\GLOBALROOT\Device\...\..." on a
// volume the mount manager does not know (RAM disks, WinFsp, DefineDosDevice letters); empty when
// the system cannot tell.
std::wstring FinalPath(HANDLE handle);

// An open directory and the path it was opened by. Where the system cannot tell where the handle
// lies, that path stands in for it, as long as it is shown to name the very directory (by its file
// id) whenever it is used.
struct HeldDirectory {
  HANDLE handle = nullptr;
  std::wstring opened_as;
};

// Where the held directory lies now, without a trailing backslash: FinalPath, or else `opened_as`
// when it still names the directory; empty when neither.
std::wstring DirectoryPath(const HeldDirectory& directory);

// The path of the entry `name` of the open directory, as DirectoryPath gives the directory now;
// empty on failure.
std::wstring PathInDirectory(const HeldDirectory& directory, const std::wstring& name);

// FinalPath without its "\\?\" prefix, as people read paths; for messages.
std::string ReadablePath(HANDLE handle);

// Whether the object may count as the user's own: its owner is the user (VolumeQuery's
// OwnerIsCurrentUser), or its volume keeps no owners (FAT, exFAT, network shares), where every
// object reads as someone else's and only the access rules the system enforces protect it.
bool OwnedByCurrentUser(HANDLE handle);

// Whether `name` names a device in every directory (CON, NUL, COM1, LPT1, CONIN$ ...; also with an
// extension or trailing dots and blanks, "nul.txt", "CON ."), so that opening it opens the device.
bool IsDeviceName(std::wstring_view name);

// Whether `name` can only name an entry of a directory: not empty, not "." or "..", no separators,
// no ":" (which would name a stream of another file), no trailing dot or blank (which Windows
// drops), and no device name.
bool IsPlainFileName(std::wstring_view name);

// What tells one file or directory from every other while it exists: its volume and file index.
struct FileIdentity {
  DWORD volume = 0;
  DWORD index_high = 0;
  DWORD index_low = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the open object; all zero when it cannot be read.
FileIdentity IdentityOf(HANDLE handle);

// Whether two handles are open on the same file or directory.
bool SameObject(HANDLE a, HANDLE b);

// Whether `path` names the object of `handle` now (a link at `path` is not followed).
bool PathNames(const std::wstring& path, HANDLE handle);

struct OpenRequest {
  DWORD access = 0;
  DWORD share = 0;
  DWORD disposition = OPEN_EXISTING;
  DWORD flags = 0;  // flags and attributes, as CreateFileW takes them
  SECURITY_ATTRIBUTES* security = nullptr;
};

// Opens the entry `name` of the open directory `directory` by CreateFileW with `request` and checks
// that the opened object lies in that directory: the directory's path still names the directory,
// and the name in it still names the object (both by file id). An object created (CREATE_NEW) somewhere else is deleted again,
// so such a request gets DELETE access added. Fails with an error that says what is wrong; `name`
// must be IsPlainFileName.
UniqueHandle OpenInDirectory(const HeldDirectory& directory, const std::wstring& name, const OpenRequest& request,
                             SysError* error);

// Deletes the entry `name` of `directory` (a link as itself, never what it points to).
SysError DeleteInDirectory(const HeldDirectory& directory, const std::wstring& name);

// Deletes the object of `handle` (opened with DELETE access). Its name goes at once where the
// system offers POSIX semantics (Windows 10 1709 and later, on NTFS), so a scanner or sync client
// that still holds it open cannot leave it "delete pending"; elsewhere it goes when its last handle
// closes.
SysError DeleteOnClose(HANDLE handle);

}  // namespace korvanel::platform
