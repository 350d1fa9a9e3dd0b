#include "platform/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace korvanel::platform {
namespace {

int g_write_end = -1;

void OnStopSignal(int signal_number) {
  const int saved = errno;
  const unsigned char number = static_cast<unsigned char>(signal_number);
  (void)!write(g_write_end, &number, 1);
  errno = saved;
}

int MakePipe() {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  g_write_end = ends[1];
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
  return ends[0];
}

}  // namespace

int StopRequestDescriptor() {
  static const int read_end = MakePipe();
  return read_end;
}

int TakeStopRequest(int descriptor) {
  unsigned char number = 0;
  return read(descriptor, &number, 1) == 1 ? number : 0;
}

}  // namespace korvanel::platform
