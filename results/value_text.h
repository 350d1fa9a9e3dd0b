#pragma once
// The texts the panel shows for one rate, one access time and one rating, in the user's number
// format (by default; tests pass a locale of their own).

#include <string>

#include "platform/locale.h"

namespace korvanel {

// A rate in KiB/ms with two fraction digits and the unit: "123.46 MB/s ".
std::string RateText(double rate, const platform::UserLocale& locale = platform::SystemLocale());

// The 4 KB access time behind a 4 KB rate, with four fraction digits: "0.1365 ms. ", or
// "------ " when the rate is 0 (not measured).
std::string AccessTimeText(double rate_4k,
                           const platform::UserLocale& locale = platform::SystemLocale());

// A rating with one fraction digit and no unit: "660.0".
std::string RatingText(double rating, const platform::UserLocale& locale = platform::SystemLocale());

}  // namespace korvanel
