#pragma once
// The drive list for the command line: printing it, and choosing a drive by index or directory.

#include <string>

#include "drives/drive_system.h"
#include "drives/drive_table.h"

namespace korvanel {

// One block per drive, separated by an empty line: "<index>: <item text>", then the summary (or
// "No drive Info :-(" when the drive has none). Empty for an empty table.
std::string FormatDriveListing(const DriveTable& table);

// The index of the drive that `index_or_path` names: a plain decimal number is a list index; any
// other text is a path, matched to the listed drive of the mount that holds it (by mount point,
// else by file system, so a bind mount or subdirectory finds its drive). -1 when none matches.
int FindDrive(const DriveTable& table, DriveSystem& system, const std::string& index_or_path);

}  // namespace korvanel
