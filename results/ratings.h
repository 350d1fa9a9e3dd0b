#pragma once
// The three ratings of a run, weighted sums of its transfer rates.

#include "engine/bench_results.h"

namespace korvanel {

struct Ratings {
  double read = 0;
  double write = 0;
  double total = 0;  // write + read
};

// The ratings of `results`; unmeasured rates (0) add nothing, and the access-time rates RR and RW
// take no part.
Ratings ComputeRatings(const BenchResults& results);

}  // namespace korvanel
