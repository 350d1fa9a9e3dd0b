#pragma once
// The terminal a command-line program writes to: whether a status line can be rewritten in place,
// and how wide the terminal is now. Implemented once per platform.

#include <cstdio>
#include <optional>

namespace korvanel::platform {

// True when `stream` goes to a terminal that understands carriage return and erase-line; false
// for a pipe, a file, or a terminal that declares itself dumb.
bool IsRewritableTerminal(std::FILE* stream);

// The width of the terminal behind `stream` in columns, read anew at every call so that a resized
// window shows at the next line; nothing when `stream` is no terminal or the width is unknown.
std::optional<int> TerminalColumns(std::FILE* stream);

}  // namespace korvanel::platform
