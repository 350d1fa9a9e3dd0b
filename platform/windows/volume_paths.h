#pragma once
// Where a path's volume starts, as the W functions see it.

#include <string>

namespace korvanel::platform {

// The full form of `path` (GetFullPathNameW); empty on failure.
std::wstring FullPath(const std::wstring& path);

// The root of the volume that holds `path`, with its trailing backslash: "C:\", or the mounted
// folder "C:\mnt\data\" (GetVolumePathNameW); empty on failure.
std::wstring VolumeRootOf(const std::wstring& path);

}  // namespace korvanel::platform
