#pragma once
// One benchmark run from the terminal, its results, and the comparison report when asked for.

#include <optional>
#include <string>

#include "app/cli/cli_options.h"
#include "drives/drive_entry.h"

namespace korvanel::cli {

// Measures in `directory`; `drive` describes it when the drive list knows it. Returns the exit code:
// 0 done, 1 an error was reported, 128 + the signal after a stop by signal.
int RunBenchmark(const CliOptions& options, const std::string& directory, const std::optional<DriveEntry>& drive);

}  // namespace korvanel::cli
