#pragma once
// The CLI's main thread works like a panel's: it runs what the worker posts, in order, and owns
// the pass timer. The worker waits only where it must (refresh, error report).

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

namespace korvanel::cli {

class MainLoop {
 public:
  // Any thread: runs `task` on the loop's thread, after everything posted before it.
  void Post(std::function<void()> task);
  // Another thread: runs `task` on the loop's thread and returns when it has run.
  void Invoke(std::function<void()> task);
  // Any thread: (re)starts the one-shot timer; `on_fire` runs on the loop's thread.
  void StartTimer(std::chrono::milliseconds period, std::function<void()> on_fire);
  // The time the timer still has to run, or nothing when it is not running.
  std::optional<std::chrono::milliseconds> TimerRemaining() const;
  // Runs posted tasks and the timer until `done()` is true with nothing left to run. `poll()` runs
  // at least every 50 ms (signal checks, progress display).
  void Run(const std::function<bool()>& done, const std::function<void()>& poll);

 private:
  using Clock = std::chrono::steady_clock;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  std::optional<Clock::time_point> timer_deadline_;
  std::function<void()> timer_callback_;
};

}  // namespace korvanel::cli
