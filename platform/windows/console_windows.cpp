#include <windows.h>
#include <io.h>

#include <atomic>
#include <csignal>

#include "platform/console.h"

namespace korvanel::platform {
namespace {

std::atomic<int> g_stop_request{0};

// Runs on a thread the system starts for the event. Closing the console ends the process soon after
// this returns, so that event waits a moment for the cleanup.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT: g_stop_request.store(SIGINT); return TRUE;
    case CTRL_BREAK_EVENT: g_stop_request.store(SIGBREAK); return TRUE;
    case CTRL_CLOSE_EVENT:
      g_stop_request.store(SIGTERM);
      Sleep(4000);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

void InstallStopRequests() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

int StopRequest() { return g_stop_request.load(); }

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace korvanel::platform
