#pragma once
// What a pointer resting on a value shows: what the unit means (the panel's "MB/s" is KiB per
// millisecond), the requests per second behind the 4 KB values, and how a rating is made.

#include <vector>

#include "engine/bench_results.h"
#include "results/value_texts.h"

namespace korvanel::panel {

// One tooltip per value and rating control, for `results` (0: not measured).
std::vector<ControlText> ValueTooltips(const BenchResults& results);

}  // namespace korvanel::panel
