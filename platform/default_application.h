#pragma once
// Opening a file with the desktop's default application. Declared here for the report page and
// implemented once per platform (platform/linux/default_application_linux.cpp).

#include <string>

#include "common/sys_error.h"

namespace korvanel::platform {

struct OpenOutcome {
  bool launched = false;  // the desktop's opener was started
  SysError error;         // why it could not be started
};

// Hands `path` to the desktop's opener as one argument, without a shell, and returns without
// waiting for it. Without a graphical session nothing is started: launched false, no error.
// Error when the opener is missing or cannot be started.
OpenOutcome OpenWithDefaultApplication(const std::string& path);

// Hands the web address `address` (http or https only; anything else is refused with EINVAL) to
// the desktop's browser as it is, the same way.
OpenOutcome OpenWebPage(const std::string& address);

}  // namespace korvanel::platform
