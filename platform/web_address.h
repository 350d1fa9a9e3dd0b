#pragma once
// The one rule every system's OpenWebPage applies before handing an address on.

#include <cerrno>
#include <optional>
#include <string>

#include "platform/default_application.h"

namespace korvanel::platform {

// Only web addresses go to the browser: anything else could name a local file, a program or an
// option of the opener. The refusal for `address`, or nothing when it is an http(s) address.
inline std::optional<OpenOutcome> RefuseUnlessWebAddress(const std::string& address) {
  if (address.rfind("https://", 0) == 0 || address.rfind("http://", 0) == 0) return std::nullopt;
  OpenOutcome refused;
  refused.error = SysError::FromErrno(EINVAL);
  refused.error.description = "not a web address: " + address;
  return refused;
}

}  // namespace korvanel::platform
