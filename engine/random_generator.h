#pragma once
// The engine's pseudo-random numbers: block positions and the I/O buffer's content. One state per
// process, seeded from the millisecond tick at first use, carried over from run to run.

#include <cstdint>

namespace korvanel {

class RandomGenerator {
 public:
  // Seeds the state once, on first use; later calls do nothing.
  void SeedOnce(uint32_t tick_ms);
  bool seeded() const { return seeded_; }
  // The next value: state * 8253729 + 2396403 modulo 2^32. The seed itself is never returned.
  uint32_t Next() {
    state_ = state_ * 8253729u + 2396403u;
    return state_;
  }

 private:
  uint32_t state_ = 0;
  bool seeded_ = false;
};

}  // namespace korvanel
