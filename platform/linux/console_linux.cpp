#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "platform/console.h"

namespace korvanel::platform {
namespace {

std::atomic<int> g_stop_request{0};

void OnStopSignal(int signal_number) { g_stop_request.store(signal_number); }

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseUtf8Output() {}

void InstallStopRequests() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

int StopRequest() { return g_stop_request.load(); }

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace korvanel::platform
