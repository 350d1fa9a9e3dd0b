#pragma once
// The running system's version as three numbers, for reports.

#include <cstdint>
#include <string>

namespace korvanel::platform {

struct SystemVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  std::string service_pack;  // Windows' service-pack text; empty elsewhere
};

// On Linux the kernel release ("6.18.44-..." gives 6, 18, 44); on Windows the kernel's own version,
// not the one a compatibility layer reports. Zeros when it cannot be read.
SystemVersion CurrentSystemVersion();

}  // namespace korvanel::platform
