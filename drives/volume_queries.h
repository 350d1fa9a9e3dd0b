#pragma once
// The volume description of a drive: its file-system text and its free and total space.

#include <cstdint>
#include <string>

#include "drives/drive_system.h"

namespace korvanel {

// The file-system type, followed by " - [label]" when `show_label`; empty (and both out fields
// untouched) when nothing is mounted at `root`.
std::string GetVolumeText(DriveSystem& system, const std::string& root, bool show_label,
                          std::string* label, std::string* file_system);

// Free bytes for the user on the volume holding `path`, its size in `*total`; -1 on failure, with
// `*total` untouched.
int64_t GetDiskSpace(DriveSystem& system, const std::string& path, uint64_t* total);

}  // namespace korvanel
