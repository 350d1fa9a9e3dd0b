#pragma once
// Reading and editing INI text as tolerantly as the Windows profile functions: section and key
// names compare without regard to ASCII case, blanks around names and values are ignored, a value
// in matching quotes loses them, and the first matching section and key win.

#include <optional>
#include <string>
#include <string_view>

namespace korvanel {

// The value of `key` in `section`; nullopt when either is missing.
std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// `text` with `key` in `section` set to `value`: the key's line is rewritten, or a line is added at
// the end of the section, or the section is appended. Every other line stays byte for byte.
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace korvanel
