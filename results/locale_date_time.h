#pragma once
// The user's date and time formats and the current date and time written with them.

#include <ctime>
#include <string>

#include "platform/locale.h"

namespace korvanel {

struct LocaleDateTime {
  std::string date_format;     // the locale's short date pattern
  std::string time_format;     // the locale's time pattern
  std::string date_text;       // `when` written with date_format (at most 255 bytes, else empty)
  std::string time_text;       // `when` written with time_format (at most 255 bytes, else empty)
  std::string date_time_text;  // date_text, one blank, time_text
};

// The locale's formats and `when` written with them.
LocaleDateTime FormatLocaleDateTime(const platform::UserLocale& locale, std::time_t when);

// Reads the clock and the user's locale anew, keeps the result for LastLocaleDateTime and returns it.
LocaleDateTime RefreshLocaleDateTime(const platform::UserLocale& locale = platform::SystemLocale());

// The values of the latest RefreshLocaleDateTime; all empty before the first.
LocaleDateTime LastLocaleDateTime();

}  // namespace korvanel
