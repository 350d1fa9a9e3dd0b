#pragma once
// The terminal a command-line run is attached to: whether it is one, and the user's wish to stop.

#include <string>
#include <vector>

namespace korvanel::platform {

// The program's arguments (without its name) as UTF-8. Windows hands main() its arguments in the
// ANSI code page, which loses names in other scripts; there they are read in UTF-16 instead.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Makes the terminal show the UTF-8 text the program writes (Windows consoles start in an OEM code
// page); nothing to do elsewhere.
void UseUtf8Output();

// From now on Ctrl+C, a hang-up or a polite kill (Linux: SIGINT, SIGHUP, SIGTERM; Windows: the
// console's Ctrl+C, Ctrl+Break and close events) only record a stop request; the process goes on
// so that it can clean up.
void InstallStopRequests();

// The request that came, as a signal number (Ctrl+C is 2 everywhere), or 0 while none came.
int StopRequest();

// Whether standard error is a terminal, where a progress line may be redrawn in place.
bool StandardErrorIsTerminal();

}  // namespace korvanel::platform
