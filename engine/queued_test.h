#pragma once
// The queued test: 4 KB reads, then writes, at random positions with 64 requests in flight. Every
// completion starts its successor while the window is open; then the pass drains.

#include "engine/rate_table.h"
#include "engine/run_context.h"

namespace korvanel {

// How long a draining pass waits for requests that never complete before it fails.
constexpr uint32_t kQueuedDrainLimitMs = 30000;

void RunQueuedTest(RunContext& run, const TestRates& test);

}  // namespace korvanel
