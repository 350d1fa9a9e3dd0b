#include "platform/clock.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace korvanel::platform {
namespace {

using namespace std::chrono_literals;

struct PausesSeen {
  uint64_t before = 0;
  uint64_t first_change = 0;
  uint64_t later = 0;
};

// A child asks the clock without pause until the count changes, as the engine does after a pass;
// the parent stops it for `stopped` and continues it. The child is a fresh process, so that the
// clock's watcher starts there and nowhere else.
PausesSeen StopAChildFor(std::chrono::milliseconds stopped) {
  int ready[2];
  int report[2];
  if (pipe(ready) != 0 || pipe(report) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    // On one processor the threads woken by SIGCONT run one after the other, as on a busy machine:
    // the asking thread may well run before the clock's watcher has looked.
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    sched_setaffinity(0, sizeof one, &one);
    Clock& clock = SystemClock();
    PausesSeen seen;
    seen.before = clock.PauseCount();
    (void)!write(ready[1], "r", 1);
    const auto give_up = std::chrono::steady_clock::now() + 10s;
    do {
      seen.first_change = clock.PauseCount();
    } while (seen.first_change == seen.before && std::chrono::steady_clock::now() < give_up);
    std::this_thread::sleep_for(500ms);
    seen.later = clock.PauseCount();
    (void)!write(report[1], &seen, sizeof seen);
    _exit(0);
  }
  char byte;
  (void)!read(ready[0], &byte, 1);
  std::this_thread::sleep_for(100ms);
  kill(child, SIGSTOP);
  int status = 0;
  waitpid(child, &status, WUNTRACED);  // stopped for certain before the time starts
  std::this_thread::sleep_for(stopped);
  kill(child, SIGCONT);
  PausesSeen seen;
  if (read(report[0], &seen, sizeof seen) != sizeof seen) seen = {};
  waitpid(child, &status, 0);
  for (int end : {ready[0], ready[1], report[0], report[1]}) close(end);
  return seen;
}

// A stop shorter than the watcher's gap is told by SIGCONT alone; a long one by the signal and by
// the gap, on different threads. Either way the thread that was stopped learns of it when it next
// asks, and nothing of the same stop is counted after that: otherwise the pass after the paused
// one would be thrown away too.
TEST(LinuxClockTest, TellsEachStopAtTheNextQuestionAndNeverLater) {
  for (const auto stopped : {100ms, 1500ms}) {
    const PausesSeen seen = StopAChildFor(stopped);
    EXPECT_GT(seen.first_change, seen.before) << stopped.count() << " ms";
    EXPECT_EQ(seen.later, seen.first_change) << stopped.count() << " ms";
  }
}

TEST(LinuxClockTest, AProcessNeverStoppedSeesNoPause) {
  Clock& clock = SystemClock();
  const uint64_t before = clock.PauseCount();
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(clock.PauseCount(), before);
}

}  // namespace
}  // namespace korvanel::platform
