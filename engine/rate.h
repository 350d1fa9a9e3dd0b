#pragma once
// The rate of a pass: KiB per millisecond, which the panel shows as "MB/s".

#include <cstdint>

namespace korvanel {

// Elapsed time is the unsigned difference of two 32-bit millisecond ticks. An elapsed time of 0
// (possible only with a coarse clock) counts as 1 ms so that no rate becomes infinite.
inline double Rate(uint32_t block_bytes, uint32_t operations, uint32_t elapsed_ms) {
  const uint32_t ms = elapsed_ms == 0 ? 1 : elapsed_ms;
  return static_cast<double>(block_bytes) * 0.0009765625 * static_cast<double>(operations) / ms;
}

}  // namespace korvanel
