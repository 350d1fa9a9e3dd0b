#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <initializer_list>

#include "platform/stop_requests.h"

namespace korvanel::platform {
namespace {

std::atomic<int> g_requests{0};
std::atomic<int> g_last_signal{0};
// The pipe an event loop watches; made before the handlers, never closed.
int g_read_end = -1;
std::atomic<int> g_write_end{-1};
// Touched from a signal handler: only lock-free atomics are safe there.
static_assert(std::atomic<int>::is_always_lock_free);

void OnStopSignal(int signal_number) {
  const int saved_errno = errno;
  g_last_signal.store(signal_number);
  g_requests.fetch_add(1);
  const char byte = 1;
  if (const int fd = g_write_end.load(); fd >= 0) (void)!write(fd, &byte, 1);
  errno = saved_errno;
}

void MakeRequestPipe() {
  if (g_read_end >= 0) return;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  g_read_end = ends[0];
  g_write_end.store(ends[1]);
}

}  // namespace

void InstallStopRequestHandlers() {
  MakeRequestPipe();
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

int StopRequestCount() { return g_requests.load(); }

int StopRequestExitCode() {
  const int signal_number = g_last_signal.load();
  return signal_number == 0 ? 0 : 128 + signal_number;
}

int StopRequestDescriptor() { return g_read_end; }

bool TakeStopRequest() {
  char byte = 0;
  return g_read_end >= 0 && read(g_read_end, &byte, 1) == 1;
}

// The signals' handlers return at once; the process ends when the program has cleaned up.
void ReportCleanupDone() {}

}  // namespace korvanel::platform
