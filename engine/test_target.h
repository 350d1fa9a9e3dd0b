#pragma once
// Preparing the test directory, test file and I/O buffer before the tests, and removing all of it
// afterwards.

#include <string>

#include "engine/run_context.h"
#include "engine/test_names.h"

namespace korvanel {

// Makes the directory, checks free space, probes, fills the buffer and writes the test file in
// full. On failure an error box has been shown and keep_running is down; on a stop request during
// the fill keep_running is down and nothing is shown.
void PrepareTestTarget(RunContext& run);

// Frees the buffer and removes the file and directory this run created; always safe to call. What
// cannot be removed is named in an error box. Then lowers keep_running and busy.
void CleanupTestTarget(RunContext& run);

}  // namespace korvanel
