#pragma once
// Calls that may never return: a question to a network file system whose server has gone away
// (statvfs, stat, open of its mount point) can block for as long as the mount exists. Each such call
// runs on a thread of its own, and the caller waits for it only so long.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace korvanel {

namespace bounded_call_detail {
// Marks `key` as having a call in flight; false when one is in flight already.
bool Claim(const std::string& key);
void Release(const std::string& key);
}  // namespace bounded_call_detail

// A call started on a thread of its own, whose answer is taken by a deadline. While an earlier call
// under the same `key` has not returned, nothing is started: something that hangs holds one thread,
// not one per question. `call` must own everything it uses (copies of paths, say): the thread may
// run on long after the caller has given up. Starting several and taking each by one deadline waits
// for all of them once.
template <typename T>
class BoundedCall {
 public:
  BoundedCall(const std::string& key, std::function<T()> call) {
    if (!bounded_call_detail::Claim(key)) return;
    outcome_ = std::make_shared<Outcome>();
    const auto run = [outcome = outcome_, key, call = std::move(call)] {
      T value = call();
      bounded_call_detail::Release(key);
      {
        std::lock_guard lock(outcome->mutex);
        outcome->value = std::move(value);
      }
      outcome->done.notify_all();
    };
    try {
      std::thread(run).detach();
    } catch (const std::system_error&) {
      run();  // no thread to be had: ask without a bound rather than not at all
    }
  }

  // The answer; nothing when the call has not returned by `deadline` or was not started.
  std::optional<T> TakeBy(std::chrono::steady_clock::time_point deadline) {
    if (!outcome_) return std::nullopt;
    std::unique_lock lock(outcome_->mutex);
    outcome_->done.wait_until(lock, deadline, [&] { return outcome_->value.has_value(); });
    return outcome_->value;
  }

 private:
  struct Outcome {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<T> value;
  };
  std::shared_ptr<Outcome> outcome_;  // none when an earlier call under the key is still out
};

// Runs `call` on a thread of its own and waits at most `limit` for it; nothing when it has not
// returned by then, or at once while an earlier call under the same `key` has not returned.
template <typename T>
std::optional<T> CallWithin(const std::string& key, std::chrono::milliseconds limit, std::function<T()> call) {
  BoundedCall<T> started(key, std::move(call));
  return started.TakeBy(std::chrono::steady_clock::now() + limit);
}

}  // namespace korvanel
