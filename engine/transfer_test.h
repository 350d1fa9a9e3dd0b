#pragma once
// The tests that make one synchronous request at a time: sequential 1 MiB blocks, and random blocks
// of 4 KB or 512 KB. Each runs a read direction, then a write direction, pass by pass.

#include "engine/run_context.h"

namespace korvanel {

// Reads, then writes the test file from start to end in 1 MiB blocks, wrapping around while the
// window is open; fills SR and SW.
void RunSequentialTest(RunContext& run);

// Reads, then writes single blocks of `block_kb` (4 or 512) KB at random block-aligned positions.
void RunRandomTest(RunContext& run, int block_kb, ResultField read_field, ResultField write_field);

}  // namespace korvanel
