#pragma once
// The console as the program found it. The program switches the output code page to UTF-8 and the
// screen buffer to virtual-terminal sequences; both belong to the console, which the shell and the
// programs after this one share, so they are put back when the program ends.

#include <windows.h>

namespace korvanel::platform {

// Remembers the output code page before its first change; later calls do nothing.
void RememberOutputCodePage();

// Remembers the mode of the screen buffer `console` before its first change.
void RememberConsoleMode(HANDLE console);

// Puts back what was remembered. Runs at the program's exit by itself (the first Remember call
// arranges it); a path that ends the process otherwise calls it first.
void RestoreConsole();

}  // namespace korvanel::platform
