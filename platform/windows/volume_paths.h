#pragma once
// Where a path's volume starts, as the W functions see it.

#include <string>

namespace korvanel::platform {

// The full form of `path` (GetFullPathNameW); empty on failure.
std::wstring FullPath(const std::wstring& path);

// The full form of `path` as the W functions take it at any length: one too long for a directory
// (248 characters: MAX_PATH less room for a file name) gets the "\\?\" prefix ("\\?\UNC\" for a
// share), which lifts the limit and switches off the functions' own parsing, done here beforehand.
// Empty on failure.
std::wstring LongCapablePath(const std::wstring& path);

// The system's own form of a full path, "\\??\\C:\\dir" or "\\??\\UNC\\server\\share\\dir", which has no
// length limit and is taken as it stands (NtCreateFile, renames by path); empty on failure.
std::wstring NtPath(const std::wstring& path);

// `path` without the "\\?\" prefix where the path is a drive or share path (as people read paths);
// other "\\?\" paths (volume GUIDs, GLOBALROOT) need it and keep it.
std::wstring PlainPath(const std::wstring& path);

// The root of the volume that holds `path`, with its trailing backslash: "C:\", or the mounted
// folder "C:\mnt\data\" (GetVolumePathNameW); empty on failure.
std::wstring VolumeRootOf(const std::wstring& path);

}  // namespace korvanel::platform
