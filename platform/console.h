#pragma once
// Text between a command-line program and its terminal: the arguments it was given and the text it
// writes, both UTF-8.

#include <string>
#include <vector>

namespace korvanel::platform {

// The program's arguments (without its name) as UTF-8. Windows hands main() its arguments in the
// ANSI code page, which loses names in other scripts; there they are read in UTF-16 instead.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Makes the terminal show the UTF-8 text the program writes (Windows consoles start in an OEM code
// page); nothing to do elsewhere.
void UseUtf8Output();

}  // namespace korvanel::platform
