#pragma once
// The running system's version as three numbers, for reports.

#include <cstdint>

namespace korvanel::platform {

struct SystemVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
};

// On Linux the kernel release ("6.18.44-..." gives 6, 18, 44); zeros when it cannot be read.
SystemVersion CurrentSystemVersion();

}  // namespace korvanel::platform
