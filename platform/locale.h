#pragma once
// The user's number and date/time conventions, read from the environment's locale at every call so
// that a changed locale shows at the next refresh. Implemented once per platform.

#include <ctime>
#include <string>

namespace korvanel::platform {

struct NumberConventions {
  std::string decimal_separator = ".";
  bool leading_zero = true;  // "0.5" rather than ".5"
};

struct DateTimePatterns {
  std::string date_format;  // the locale's short date pattern, in the platform's own notation
  std::string time_format;  // the locale's time pattern, in the same notation
};

class UserLocale {
 public:
  virtual ~UserLocale() = default;
  // The conventions of the user's numeric locale; the neutral "." and leading zero when it cannot
  // be loaded.
  virtual NumberConventions Numbers() const = 0;
  // The patterns of the user's date/time locale; the neutral locale's when it cannot be loaded.
  virtual DateTimePatterns DateTime() const = 0;
  // `when` in local time, formatted with `pattern` in the user's date/time locale; empty when the
  // text would exceed 255 bytes or the formatting fails.
  virtual std::string FormatLocalTime(const std::string& pattern, std::time_t when) const = 0;
};

// The locale the environment names for the process (thread-safe; never the global setlocale).
const UserLocale& SystemLocale();

}  // namespace korvanel::platform
