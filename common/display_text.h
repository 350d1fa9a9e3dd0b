#pragma once
// Texts that come from outside (volume labels, disk models, mount points) shown where control
// characters would act: a terminal takes ESC sequences as commands (retitle, clear, move the
// cursor), and a line break inside a field breaks the layout around it.

#include <cstddef>
#include <string>
#include <string_view>

namespace korvanel {

// The length of the valid UTF-8 sequence of a printable character at `text[i]` (lead byte >= 0x80),
// or 0 when there is none (invalid UTF-8, or a C1 control).
std::size_t PrintableSequenceLength(std::string_view text, std::size_t i);

// `text` with every control character (C0, DEL, and C1 as UTF-8) and every byte that is not part of
// valid UTF-8 written as "\xHH"; everything else is kept, so labels in any script stay readable.
std::string EscapeControlCharacters(std::string_view text);

// The same for a text of several lines: line breaks ("\n", and "\r\n" as one) stay line breaks
// ("\n"); every other control character, a lone "\r" included, is escaped.
std::string EscapeControlCharactersInLines(std::string_view text);

}  // namespace korvanel
