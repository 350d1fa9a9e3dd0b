#pragma once
// The four-line description of a drive shown under the drive list.

#include <cstdint>
#include <string>

#include "drives/drive_entry.h"

namespace korvanel {

// Lines of the summary are joined by this.
inline constexpr const char* kSummaryLineBreak = "\n";

// "%.2f GB " of `bytes` / 2^30, with the trailing blank.
std::string BinarySizeText(int64_t bytes);

// `bytes` / 10^9 in whole units in the user's number format, "500" for 500107862016.
std::string DecimalSizeText(int64_t bytes);

// The size text parsed like the C library's strtoll: leading blanks, stop at the first non-digit,
// saturating; 0 when it holds no number.
int64_t ParseSizeText(const std::string& size_text);

// The summary of `entry` (model, interface, driver, sizes, device and space must be filled) with
// `partition_text` from GetVolumeText on line 3. Control characters in the fields are shown escaped
// ("\x1B"), so a volume label or a mount point cannot act on a terminal or break a line.
std::string BuildDriveSummary(const DriveEntry& entry, const std::string& partition_text);

// The summary of a drive that no disk holds, in the same layout with what is known: the file
// system where the disk's model stands, its size, the partition line, and the space; size and space
// only when `space_known` and the file system has a size (ramfs has none). Nothing unknown is
// shown, not even as empty brackets.
std::string BuildVolumeSummary(const DriveEntry& entry, const std::string& partition_text, bool space_known);

// What the summary box shows for `entry`: its summary, or "No drive Info :-(" when it has none.
std::string SummaryBoxText(const DriveEntry& entry);

}  // namespace korvanel
