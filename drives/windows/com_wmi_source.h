#pragma once
// The system's WMI service in namespace ROOT\CIMV2, reached through COM on the calling thread.

#include <memory>

#include "drives/windows/wmi_query_source.h"

namespace korvanel {

// Initialises COM for the calling thread (multithreaded), connects with the user's credentials and
// sets the proxy security; nullptr when any of it fails. Queries wait a bounded time for each
// object. The source keeps COM up until destroyed, and must be used and destroyed on the thread that
// made it.
std::unique_ptr<WmiQuerySource> ConnectWmi();

}  // namespace korvanel
