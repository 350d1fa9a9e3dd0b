#pragma once
// The system's requests to end a program (an interrupt, a hang-up, a polite kill) as readable
// bytes on a descriptor, so an event loop can notice them among its other events and end in its
// own time, after its cleanup.

namespace korvanel::platform {

// Installs the handlers once and returns the descriptor that becomes readable with each request;
// -1 when it cannot be made (the requests then end the program at once, as by default).
int StopRequestDescriptor();

// Reads one request from the descriptor: the signal's number, or 0 when none is pending.
int TakeStopRequest(int descriptor);

}  // namespace korvanel::platform
