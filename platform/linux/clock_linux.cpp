#include <time.h>

#include "platform/clock.h"

namespace korvanel::platform {
namespace {

class MonotonicClock : public Clock {
 public:
  uint32_t TickMs() override {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);  // wraps like a 32-bit millisecond tick
  }
};

}  // namespace

Clock& SystemClock() {
  static MonotonicClock clock;
  return clock;
}

}  // namespace korvanel::platform
