#pragma once
// The millisecond tick the engine times its passes with.

#include <cstdint>

namespace korvanel::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, wrapping at 2^32; differences are taken unsigned.
  virtual uint32_t TickMs() = 0;
};

// The system's monotonic clock.
Clock& SystemClock();

}  // namespace korvanel::platform
