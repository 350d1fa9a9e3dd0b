#pragma once
// The pass protocol every test direction follows: a warm-up pass that is shown but not counted,
// then the measured passes, the best of which is kept. A stop request ends the direction after the
// measured pass that sees it, and the field keeps that pass's rate. An aborted pass ends the
// direction at once and counts for nothing: the field keeps the best earlier measured pass (or 0).
// A measured pass during which the process was paused (stopped and continued, its machine
// suspended) timed the pause as if it had been transferring: it does not count, the host is told,
// and it runs again, up to a few times per direction.

#include <cstdint>
#include <functional>
#include <string>

#include "engine/run_context.h"

namespace korvanel {

// What one pass measured.
struct PassMeasurement {
  uint32_t operations = 0;
  uint32_t elapsed_ms = 0;
};

// Runs one pass; returns false after it has shown an error box.
using PassRunner = std::function<bool(PassMeasurement*)>;

// Runs the passes of one direction into `field`. `status(pass)` gives each pass's status line.
// Returns whether the test may go on (false after an error or a stop). After a failed pass the
// field is 0 (not measured), whatever live values or earlier passes put there.
bool RunPasses(RunContext& run, ResultField field, uint32_t block_bytes,
               const std::function<std::string(int pass)>& status, const PassRunner& run_pass);

}  // namespace korvanel
