#include "engine/random_generator.h"

namespace korvanel {

void RandomGenerator::SeedOnce(uint32_t tick_ms) {
  if (seeded_) return;
  state_ = tick_ms;
  seeded_ = true;
}

}  // namespace korvanel
