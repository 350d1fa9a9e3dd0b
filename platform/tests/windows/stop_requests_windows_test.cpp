// The console's stop requests as Windows delivers them. Windows ends the process as soon as the
// handler returns from a closed window, a logoff or a shutdown, and about 5 s later if it does not:
// those must stop the pass at once and hold the process until the test file is gone, but never past
// the system's limit. Wine cannot close a console window, so the handler is called as Windows would
// call it; that the process then ends with nothing left is for a real Windows machine to show.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "platform/stop_requests.h"
#include "platform/windows/console_events.h"

namespace korvanel::platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Calls the handler on a thread of its own, as Windows does, and tells how long it held on.
class HandlerCall {
 public:
  explicit HandlerCall(DWORD event) : thread_([this, event] {
    HandleConsoleEvent(event);
    returned_after_ = std::chrono::duration_cast<milliseconds>(Clock::now() - start_);
    returned_ = true;
  }) {}
  ~HandlerCall() { Join(); }
  bool returned() const { return returned_; }
  milliseconds Join() {
    if (thread_.joinable()) thread_.join();
    return returned_after_;
  }

 private:
  Clock::time_point start_ = Clock::now();
  std::atomic<bool> returned_{false};
  milliseconds returned_after_{0};
  std::thread thread_;
};

void WaitForCount(int count) {
  const auto deadline = Clock::now() + milliseconds(2000);
  while (StopRequestCount() < count && Clock::now() < deadline) Sleep(10);
}

TEST(ConsoleEvents, CtrlCStopsAfterThePassAndClosingTheWindowEndsThePassAndWaitsForTheCleanup) {
  InstallStopRequestHandlers();
  int count = StopRequestCount();
  EXPECT_TRUE(HandleConsoleEvent(CTRL_C_EVENT));
  EXPECT_EQ(StopRequestCount(), count + 1) << "Ctrl+C is one request: the current pass still finishes";
  count = StopRequestCount();

  {
    // Nobody reports the cleanup: the handler gives up before Windows would end the process anyway.
    HandlerCall shutdown(CTRL_SHUTDOWN_EVENT);
    WaitForCount(count + 2);
    EXPECT_EQ(StopRequestCount(), count + 2) << "a shutdown is a second Ctrl+C: the pass ends at once";
    const milliseconds held = shutdown.Join();
    EXPECT_GE(held.count(), static_cast<long>(kCleanupWaitMs) - 100);
    EXPECT_LT(held.count(), 5000) << "Windows ends the process after about 5 s";
  }
  count = StopRequestCount();

  HandlerCall close(CTRL_CLOSE_EVENT);
  WaitForCount(count + 2);
  EXPECT_EQ(StopRequestCount(), count + 2);
  Sleep(300);
  EXPECT_FALSE(close.returned()) << "returned before the cleanup: Windows would end the process with the test file";
  ReportCleanupDone();
  EXPECT_LT(close.Join().count(), 2000) << "the cleanup was reported, yet the handler went on waiting";
  EXPECT_EQ(StopRequestExitCode(), 128 + SIGTERM);
  while (TakeStopRequest()) {
  }
}

}  // namespace
}  // namespace korvanel::platform
