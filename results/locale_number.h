#pragma once
// Plain number texts ("123.457") rewritten in the user's number format.

#include <string>
#include <string_view>

#include "platform/locale.h"

namespace korvanel {

// `plain` (optional "-", digits, optional "." and digits) rounded half away from zero to `digits`
// fraction digits, or padded to them, with the given decimal separator ("," when it is empty) and
// leading-zero rule, and never with digit groups. `plain` unchanged when it is not such a number.
std::string FormatLocaleNumber(std::string_view plain, int digits,
                               const platform::NumberConventions& conventions);

// The same in the conventions of `locale`, by default the user's.
std::string FormatLocaleNumber(std::string_view plain, int digits,
                               const platform::UserLocale& locale = platform::SystemLocale());

}  // namespace korvanel
