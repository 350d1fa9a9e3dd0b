#pragma once
// Requests from outside to stop the program (Ctrl+C, a closed terminal, a polite kill), counted so
// that a second Ctrl+C can do more than the first. The program polls them, or waits for them on a
// descriptor beside its other events; nothing is done inside the handler. Implemented once per
// platform.

namespace korvanel::platform {

// From now on stop requests are counted instead of ending the process.
void InstallStopRequestHandlers();

// How many stop requests have arrived since InstallStopRequestHandlers.
int StopRequestCount();

// The exit code of a program that a stop request ended: 128 + the signal's number on POSIX systems
// (130 after Ctrl+C); 0 when no request has arrived.
int StopRequestExitCode();

// A descriptor that becomes readable with each request, for an event loop that waits on
// descriptors; -1 before InstallStopRequestHandlers or where the system has none.
int StopRequestDescriptor();

// Takes one request off the descriptor; false when none is pending.
bool TakeStopRequest();

// The program has cleaned up after the stop requests (the test file is gone). Where the system ends
// the process as soon as the handler returns (Windows, when the console window is closed, the user
// logs off or the system shuts down), the handler waits for this, a few seconds at most; elsewhere
// it does nothing.
void ReportCleanupDone();

}  // namespace korvanel::platform
