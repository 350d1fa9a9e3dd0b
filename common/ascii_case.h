#pragma once
// Names that the system or a file format compares without case: INI sections and keys, WMI's
// property names, file names on Windows. Only ASCII letters fold, whatever the locale.

#include <string_view>

namespace korvanel {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace korvanel
