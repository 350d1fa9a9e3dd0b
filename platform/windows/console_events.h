#pragma once
// The console control handler that InstallStopRequestHandlers installs, for tests to call as Windows
// would: Windows cannot be made to close a console window under Wine.

#include <windows.h>

namespace korvanel::platform {

// How long closing the window, logging off or shutting down waits for ReportCleanupDone: below the
// 5 s after which Windows ends the process anyway.
constexpr DWORD kCleanupWaitMs = 4000;

BOOL WINAPI HandleConsoleEvent(DWORD event);

}  // namespace korvanel::platform
