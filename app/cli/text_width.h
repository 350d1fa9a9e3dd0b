#pragma once
// Terminal columns of UTF-8 text: most characters take one column, East Asian wide ones two
// (Chinese, Japanese and Korean labels), combining marks none. Enough for the program's own texts,
// which is all the command line lays out.

#include <string>
#include <string_view>
#include <vector>

namespace korvanel::cli {

size_t DisplayWidth(std::string_view text);

// The longest prefix of `text` that fits in `columns`, never cut inside a character.
std::string FitToWidth(std::string_view text, size_t columns);

// `text` padded with blanks to `columns` (unchanged when it is wider).
std::string PadToWidth(std::string text, size_t columns);

// `text` broken into lines of at most `columns` at blanks; a word longer than a line is cut, and a
// character wider than a line stands on a line of its own.
std::vector<std::string> WrapWords(std::string_view text, size_t columns);

}  // namespace korvanel::cli
