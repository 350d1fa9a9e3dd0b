#pragma once
// Text between a command-line program and its terminal: the arguments it was given and the text it
// writes, both UTF-8.

#include <string>
#include <vector>

namespace korvanel::platform {

// The program's arguments (without its name) as UTF-8. Windows hands main() its arguments in the
// ANSI code page, which loses names in other scripts; there they are read in UTF-16 instead.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Prepares the program's output: the terminal shows the UTF-8 text the program writes (Windows
// consoles start in an OEM code page), and a reader that goes away (`| head`) makes writes fail
// instead of ending the program before its cleanup (Linux would send SIGPIPE; Windows only fails
// the write).
void PrepareOutput();

}  // namespace korvanel::platform
