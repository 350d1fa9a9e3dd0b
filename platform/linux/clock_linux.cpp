#include <pthread.h>
#include <signal.h>
#include <time.h>

#include <atomic>
#include <chrono>
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

// One pause is told twice, by different threads and at different times: by SIGCONT's handler, on
// whichever thread the system picks, and by the gap. Whoever asks waits this long after a change
// for the other to land, so that a pause never shows up late, in the pass after the one it hit.
constexpr auto kSettleTime = std::chrono::milliseconds(200);

// Counted in a signal handler: only a lock-free atomic is safe there.
std::atomic<uint64_t> g_continued{0};
std::atomic<uint64_t> g_gaps{0};
std::atomic<uint64_t> g_last_alive{0};  // the latest moment a thread of ours was seen running
static_assert(std::atomic<uint64_t>::is_always_lock_free);

void OnContinue(int) { g_continued.fetch_add(1); }

// Both the sleeper and whoever asks look: a thread that has just been continued sees its own gap
// at once, without waiting for the sleeper to wake. The exchange lets only one of them count it.
void NoteAlive() {
  const uint64_t now = MonotonicMs();
  uint64_t seen = g_last_alive.load();
  while (now > seen) {
    if (g_last_alive.compare_exchange_weak(seen, now)) {
      if (now - seen > kWatchStepMs + kPauseGapMs) g_gaps.fetch_add(1);
      return;
    }
  }
}

void WatchForGaps() {
  for (;;) {
    const timespec step{0, static_cast<long>(kWatchStepMs * 1000000u)};
    clock_nanosleep(CLOCK_MONOTONIC, 0, &step, nullptr);
    NoteAlive();
  }
}

uint64_t PausesSeen() {
  NoteAlive();
  return g_continued.load() + g_gaps.load();
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
  g_last_alive.store(MonotonicMs());
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
    uint64_t pauses = PausesSeen();
    if (pauses != last_answer_.load()) {
      std::this_thread::sleep_for(kSettleTime);
      pauses = PausesSeen();
    }
    last_answer_.store(pauses);
    return pauses;
  }

 private:
  std::once_flag watching_;
  std::atomic<uint64_t> last_answer_{0};
};

}  // namespace

Clock& SystemClock() {
  static MonotonicClock clock;
  return clock;
}

}  // namespace korvanel::platform
