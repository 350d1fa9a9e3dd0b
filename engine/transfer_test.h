#pragma once
// The tests that make one synchronous request at a time: sequential 1 MiB blocks, and random blocks
// of 4 KB or 512 KB. Each runs a read direction, then a write direction, pass by pass.

#include "engine/rate_table.h"
#include "engine/run_context.h"

namespace korvanel {

// Reads, then writes the test file from start to end in blocks of the test's size (1 MiB), wrapping
// around while the window is open.
void RunSequentialTest(RunContext& run, const TestRates& test);

// Reads, then writes single blocks of the test's size (4 or 512 KB) at random block-aligned positions.
void RunRandomTest(RunContext& run, const TestRates& test);

}  // namespace korvanel
