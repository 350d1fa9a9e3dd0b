#pragma once
// Requests from outside to stop the program (Ctrl+C, a closed terminal, a polite kill), counted so
// that a second Ctrl+C can do more than the first. The program polls them; nothing is done inside
// the handler. Implemented once per platform.

namespace korvanel::platform {

// From now on stop requests are counted instead of ending the process.
void InstallStopRequestHandlers();

// How many stop requests have arrived since InstallStopRequestHandlers.
int StopRequestCount();

// The exit code of a program that a stop request ended: 128 + the signal's number on POSIX systems
// (130 after Ctrl+C); 0 when no request has arrived.
int StopRequestExitCode();

}  // namespace korvanel::platform
