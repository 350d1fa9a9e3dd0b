#include <signal.h>

#include <atomic>

#include "platform/stop_requests.h"

namespace korvanel::platform {
namespace {

std::atomic<int> g_requests{0};
std::atomic<int> g_last_signal{0};
// Touched from a signal handler: only lock-free atomics are safe there.
static_assert(std::atomic<int>::is_always_lock_free);

void OnStopSignal(int signal_number) {
  g_last_signal.store(signal_number);
  g_requests.fetch_add(1);
}

}  // namespace

void InstallStopRequestHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

int StopRequestCount() { return g_requests.load(); }

int StopRequestExitCode() {
  const int signal_number = g_last_signal.load();
  return signal_number == 0 ? 0 : 128 + signal_number;
}

}  // namespace korvanel::platform
