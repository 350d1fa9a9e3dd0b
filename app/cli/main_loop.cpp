#include "app/cli/main_loop.h"

#include <future>

namespace korvanel::cli {

void MainLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
}

void MainLoop::Invoke(std::function<void()> task) {
  std::promise<void> done;
  auto finished = done.get_future();
  Post([&] {
    task();
    done.set_value();
  });
  finished.wait();
}

void MainLoop::StartTimer(std::chrono::milliseconds period, std::function<void()> on_fire) {
  {
    std::lock_guard lock(mutex_);
    timer_deadline_ = Clock::now() + period;
    timer_callback_ = std::move(on_fire);
  }
  wake_.notify_one();
}

std::optional<std::chrono::milliseconds> MainLoop::TimerRemaining() const {
  std::lock_guard lock(mutex_);
  if (!timer_deadline_) return std::nullopt;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*timer_deadline_ - Clock::now());
  return left.count() > 0 ? left : std::chrono::milliseconds(0);
}

void MainLoop::Run(const std::function<bool()>& done, const std::function<void()>& poll) {
  constexpr auto kPollPeriod = std::chrono::milliseconds(50);
  auto next_poll = Clock::now();
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      auto wake_at = next_poll;
      if (timer_deadline_ && *timer_deadline_ < wake_at) wake_at = *timer_deadline_;
      wake_.wait_until(lock, wake_at, [&] { return !tasks_.empty(); });
      if (!tasks_.empty()) {
        task = std::move(tasks_.front());
        tasks_.pop_front();
      } else if (timer_deadline_ && Clock::now() >= *timer_deadline_) {
        timer_deadline_.reset();
        task = std::move(timer_callback_);
      }
    }
    if (task) task();
    if (Clock::now() >= next_poll) {
      poll();
      next_poll = Clock::now() + kPollPeriod;
    }
    std::lock_guard lock(mutex_);
    if (tasks_.empty() && done()) return;
  }
}

}  // namespace korvanel::cli
