#pragma once
// Reading the number a text starts with, as the settings file and the language table write them.

#include <string_view>

namespace korvanel {

// The decimal number at the start of `text`: blanks and tabs skipped, an optional sign, then the
// digits up to the first other character. 0 when there are no digits; saturates instead of
// overflowing.
long long LeadingDecimal(std::string_view text);

}  // namespace korvanel
