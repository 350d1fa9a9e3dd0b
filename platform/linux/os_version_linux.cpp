#include <sys/utsname.h>

#include <cstdio>

#include "platform/os_version.h"

namespace korvanel::platform {

SystemVersion CurrentSystemVersion() {
  SystemVersion version;
  utsname name{};
  if (uname(&name) != 0) return version;
  unsigned major = 0, minor = 0, build = 0;
  if (std::sscanf(name.release, "%u.%u.%u", &major, &minor, &build) >= 2) version = {major, minor, build, {}};
  return version;
}

}  // namespace korvanel::platform
