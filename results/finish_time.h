#pragma once
// The time stamp of the last finished run.

#include <string>

#include "platform/locale.h"

namespace korvanel {

// Panel control that shows the time stamp.
inline constexpr int kFinishTimeControl = 42808;

// The current local date and time in the user's (or `locale`'s) formats, "<date> <time>"; also
// refreshes the kept date/time values of RefreshLocaleDateTime.
std::string FinishTimeStamp(const platform::UserLocale& locale = platform::SystemLocale());

}  // namespace korvanel
