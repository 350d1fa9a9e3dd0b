#pragma once
// Preparing the test directory, test file and I/O buffer before the tests, and removing all of it
// afterwards.

#include <string>

#include "engine/run_context.h"

namespace korvanel {

// The test directory's name for a tick: "<drive>/Korvanel%08X" (upper-case hexadecimal).
std::string TestDirectoryPath(const std::string& drive_dir, uint32_t tick);
// The test file's name inside it: "<dir>/Korvanel%08X.tmp".
std::string TestFilePath(const std::string& dir_path, uint32_t tick);

// Makes the directory, checks free space, probes, fills the buffer and writes the test file in
// full. On failure an error box has been shown and keep_running is down; on a stop request during
// the fill keep_running is down and nothing is shown.
void PrepareTestTarget(RunContext& run);

// Frees the buffer and removes the file and directory this run created; always safe to call.
// Posts the empty end tag and the run-finished message, then lowers keep_running and busy.
void CleanupTestTarget(RunContext& run);

}  // namespace korvanel
