#pragma once
// The millisecond tick the engine times its passes with.

#include <cstdint>

namespace korvanel::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, wrapping at 2^32; differences are taken unsigned.
  virtual uint32_t TickMs() = 0;
  // How often the process has been found paused while this clock went on: stopped and continued
  // (Ctrl+Z and fg, SIGSTOP and SIGCONT) or its machine suspended. Only changes count: a pass
  // during which the number changed did not run for all the time it measured. Asked just after a
  // pause, it answers once every sign of that pause is counted (a moment later), so that no pause
  // shows up in a later pass. A clock that cannot tell keeps 0.
  virtual uint64_t PauseCount() { return 0; }
};

// The system's monotonic clock.
Clock& SystemClock();

}  // namespace korvanel::platform
