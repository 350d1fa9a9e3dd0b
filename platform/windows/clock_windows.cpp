// The tick from the performance counter: monotonic and exact to well under a millisecond, where the
// classic millisecond timers advance in steps of up to 16 ms unless the whole system's timer
// resolution is raised.

#include <windows.h>

#include "platform/clock.h"

namespace korvanel::platform {
namespace {

class PerformanceCounterClock : public Clock {
 public:
  PerformanceCounterClock() { QueryPerformanceFrequency(&frequency_); }

  uint32_t TickMs() override {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    // Split so that counts times 1000 cannot overflow in 64 bits, however long the machine runs.
    const uint64_t count = static_cast<uint64_t>(now.QuadPart);
    const uint64_t frequency = static_cast<uint64_t>(frequency_.QuadPart);
    const uint64_t ms = count / frequency * 1000u + count % frequency * 1000u / frequency;
    return static_cast<uint32_t>(ms);  // wraps like a 32-bit millisecond tick
  }

 private:
  LARGE_INTEGER frequency_{};
};

}  // namespace

Clock& SystemClock() {
  static PerformanceCounterClock clock;
  return clock;
}

}  // namespace korvanel::platform
