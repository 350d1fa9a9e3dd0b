// Stop requests from the console: Ctrl+C, Ctrl+Break and closing the window. Windows runs the
// handler on a thread of its own; the program polls the count. There is no descriptor to wait on.

#include <windows.h>

#include <atomic>
#include <csignal>

#include "platform/stop_requests.h"

namespace korvanel::platform {
namespace {

std::atomic<int> g_requests{0};
std::atomic<int> g_pending{0};
std::atomic<int> g_last_signal{0};

void Count(int signal_number) {
  g_last_signal.store(signal_number);
  g_requests.fetch_add(1);
  g_pending.fetch_add(1);
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT: Count(SIGINT); return TRUE;
    case CTRL_BREAK_EVENT: Count(SIGBREAK); return TRUE;
    case CTRL_CLOSE_EVENT:
      // Windows ends the process soon after this returns: a moment for the cleanup to remove the
      // test file first.
      Count(SIGTERM);
      Sleep(4000);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

void InstallStopRequestHandlers() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

int StopRequestCount() { return g_requests.load(); }

// 128 + the signal's number, as on POSIX systems, so scripts read 130 after Ctrl+C everywhere.
int StopRequestExitCode() {
  const int signal_number = g_last_signal.load();
  return signal_number == 0 ? 0 : 128 + signal_number;
}

int StopRequestDescriptor() { return -1; }

bool TakeStopRequest() {
  int pending = g_pending.load();
  while (pending > 0) {
    if (g_pending.compare_exchange_weak(pending, pending - 1)) return true;
  }
  return false;
}

}  // namespace korvanel::platform
