#include "results/ratings.h"

namespace korvanel {

// The weights and the order of the additions are part of the published ratings: results compared
// on the web must come out to the last digit, so neither is tidied up.
Ratings ComputeRatings(const BenchResults& r) {
  Ratings ratings;
  ratings.read = ((r.RR4KB * 0.3333333 + r.SR) + r.RR512KB * 0.3333333) + r.RR4KB64QD * 0.333333;
  ratings.write = ((r.RW4KB * 0.333333 + r.SW) + r.RW512KB * 0.333333) + r.RW4KB64QD * 0.333333;
  ratings.total = ratings.write + ratings.read;
  return ratings;
}

}  // namespace korvanel
