#pragma once
// The program's arguments from its command line, split by the rules of the C runtime and
// CommandLineToArgvW, with one exception for a mistake those rules make of paths.

#include <string>
#include <string_view>
#include <vector>

namespace korvanel::platform {

// The arguments after the program's name. Blanks and tabs separate them outside quotes; a quote
// opens or closes a quoted part; 2n backslashes before a quote give n backslashes, 2n+1 give n and
// a literal quote; other backslashes are literal. The exception: inside quotes, backslashes before
// a quote that ends the argument (a blank, a tab or the end follows) are all literal and the quote
// closes. A directory typed with its trailing backslash, --drive "E:\", is then E:\ rather than E:"
// with the rest of the line swallowed. A quote cannot be part of a Windows path, so no path is lost.
std::vector<std::wstring> SplitCommandLine(std::wstring_view line);

}  // namespace korvanel::platform
