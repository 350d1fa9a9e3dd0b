// Stop requests from the console. Ctrl+C and Ctrl+Break count one each: the first stops after the
// current pass, the second ends the pass at once. Closing the console window, logging off and
// shutting down are different: Windows ends the process as soon as the handler returns, and after
// about 5 s if it does not. Those end the pass at once (two requests), and the handler holds the
// process until the program has removed its test file, or a little less than the system allows.
// Windows runs the handler on a thread of its own; the program polls the count.

#include "platform/windows/console_events.h"

#include <atomic>
#include <csignal>

#include "platform/stop_requests.h"
#include "platform/windows/console_state.h"

namespace korvanel::platform {
namespace {

std::atomic<int> g_requests{0};
std::atomic<int> g_pending{0};
std::atomic<int> g_last_signal{0};
// Set once the program has cleaned up; made by InstallStopRequestHandlers, never closed.
std::atomic<HANDLE> g_cleanup_done{nullptr};

void Count(int signal_number, int requests) {
  g_last_signal.store(signal_number);
  g_requests.fetch_add(requests);
  g_pending.fetch_add(requests);
}

}  // namespace

BOOL WINAPI HandleConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT: Count(SIGINT, 1); return TRUE;
    case CTRL_BREAK_EVENT: Count(SIGBREAK, 1); return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      Count(SIGTERM, 2);
      if (const HANDLE done = g_cleanup_done.load()) WaitForSingleObject(done, kCleanupWaitMs);
      // The process ends when this returns, without running the program's exit.
      RestoreConsole();
      return TRUE;
    default: return FALSE;
  }
}

void InstallStopRequestHandlers() {
  if (g_cleanup_done.load() == nullptr) g_cleanup_done.store(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  SetConsoleCtrlHandler(HandleConsoleEvent, TRUE);
}

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

void ReportCleanupDone() {
  if (const HANDLE done = g_cleanup_done.load()) SetEvent(done);
}

}  // namespace korvanel::platform
