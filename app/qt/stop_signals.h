#pragma once
// Turns the system's requests to end the program into calls on the event loop's thread.

#include <functional>

namespace korvanel {

// `on_request` runs on the event loop's thread once per request; without a request channel the
// requests keep their default effect.
void WatchStopSignals(std::function<void()> on_request);

}  // namespace korvanel
