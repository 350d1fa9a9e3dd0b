#pragma once
// korvanel-cli's JSON: one run's results, and the drive list. The layout is documented in the
// README and checked against app/cli/schema/*.schema.json; add members, never move or rename them.

#include <ctime>
#include <string>
#include <vector>

#include "app/cli/run_record.h"
#include "drives/drive_entry.h"
#include "platform/locale.h"

namespace korvanel::cli {

inline constexpr int kJsonFormatVersion = 1;

// The run: the report keys SR ... RW first (KiB/ms, null when not measured) as scripts have always
// read them, then how it ended, when, on what, and each rate described and converted.
std::string RunJson(const RunRecord& record);

// The drives of --list, numbered as --drive N takes them.
std::string DriveListJson(const std::vector<DriveEntry>& drives, const std::string& program);

// `when` as local time in ISO 8601 with the zone's offset: "2026-08-12T10:00:00+02:00".
std::string IsoLocalTime(std::time_t when);

// The version in a name-and-version text: "1.84" of "Korvanel 1.84".
std::string ProgramVersion(const std::string& program);

}  // namespace korvanel::cli
