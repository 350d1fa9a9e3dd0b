#include <windows.h>
#include <io.h>
#include <shellapi.h>

#include <atomic>
#include <csignal>

#include "platform/console.h"
#include "platform/windows/wide_text.h"

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

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> utf8;
  for (int i = 1; arguments != nullptr && i < count; ++i) utf8.push_back(Utf8FromWide(arguments[i]));
  LocalFree(arguments);
  return utf8;
}

void UseUtf8Output() { SetConsoleOutputCP(CP_UTF8); }

void InstallStopRequests() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

int StopRequest() { return g_stop_request.load(); }

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace korvanel::platform
