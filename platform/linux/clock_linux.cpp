#include <pthread.h>
#include <signal.h>
#include <time.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "platform/clock.h"

namespace korvanel::platform {
namespace {

// A sleeper that wakes this much later than asked was not running: the process was stopped, or the
// machine (a virtual one, say) was suspended while the clock went on.
constexpr uint64_t kWatchStepMs = 50;
constexpr uint64_t kPauseGapMs = 500;

uint64_t MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

// Counted in a signal handler: only a lock-free atomic is safe there.
std::atomic<uint64_t> g_continued{0};
std::atomic<uint64_t> g_gaps{0};
static_assert(std::atomic<uint64_t>::is_always_lock_free);

void OnContinue(int) { g_continued.fetch_add(1); }

void WatchForGaps() {
  uint64_t last = MonotonicMs();
  for (;;) {
    const timespec step{0, static_cast<long>(kWatchStepMs * 1000000u)};
    clock_nanosleep(CLOCK_MONOTONIC, 0, &step, nullptr);
    const uint64_t now = MonotonicMs();
    if (now - last > kWatchStepMs + kPauseGapMs) g_gaps.fetch_add(1);
    last = now;
  }
}

// SIGCONT tells of every stop that job control ends (Ctrl+Z and fg, SIGSTOP and SIGCONT), however
// short; the sleeper also sees a suspended machine, which sends no signal. It runs for the rest of
// the process, with every signal blocked so that the program's own handlers run elsewhere.
void StartWatching() {
  struct sigaction action{};
  action.sa_handler = OnContinue;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGCONT, &action, nullptr);
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  std::thread(WatchForGaps).detach();
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

class MonotonicClock : public Clock {
 public:
  uint32_t TickMs() override {
    return static_cast<uint32_t>(MonotonicMs());  // wraps like a 32-bit millisecond tick
  }

  uint64_t PauseCount() override {
    std::call_once(watching_, StartWatching);
    return g_continued.load() + g_gaps.load();
  }

 private:
  std::once_flag watching_;
};

}  // namespace

Clock& SystemClock() {
  static MonotonicClock clock;
  return clock;
}

}  // namespace korvanel::platform
