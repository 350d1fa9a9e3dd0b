#pragma once
// The "id=text" lines that language sections, the special section and translation files consist of.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace korvanel {

// Texts of one language by id 0..255; an absent id is nullopt, which differs from a present empty text.
using TextTable = std::array<std::optional<std::string>, 256>;
// Language-independent texts by id 0..127.
using SpecialTextTable = std::array<std::optional<std::string>, 128>;

// Leading decimal number of a line: blanks skipped, optional sign, digits; 0 when there are no
// digits; saturates instead of overflowing.
long LeadingNumber(std::string_view line);

// Clears `table`, then fills it from the lines of `section` (LF or CR LF ends; a last line without
// a line end counts too). A line with "=" stores the text after the first "=" (blanks kept) under
// its leading number when that is 0..255, so non-numeric names such as "TranslatorName" land on
// id 0; other lines are ignored; a later line wins.
void ParseTextSection(std::string_view section, TextTable& table);

// Like ParseTextSection for ids 0..127, with the two-character escapes \r and \n in the text turned
// into CR and LF.
void ParseSpecialSection(std::string_view section, SpecialTextTable& table);

}  // namespace korvanel
