// Questions to a drive that may never answer (a network mount whose server is gone) are given up
// after a bound. The hanging call is played by one that waits for the test, since no mount here
// hangs on cue.
#include "common/bounded_call.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>

namespace korvanel {
namespace {

using std::chrono::milliseconds;

TEST(BoundedCall, AnAnswerInTimeComesBackAndAHangingCallIsGivenUpOncePerKey) {
  EXPECT_EQ(CallWithin<int>("answers", milliseconds(5000), [] { return 7; }), std::optional<int>(7));

  // The call hangs until the test lets it go; the caller gives up after the bound.
  auto hang = std::make_shared<std::promise<void>>();
  std::shared_future<void> released = hang->get_future().share();
  auto finished = std::make_shared<std::promise<void>>();
  std::future<void> returned = finished->get_future();
  EXPECT_FALSE(CallWithin<int>("statvfs /mnt/nfs", milliseconds(50), [released, finished] {
    released.wait();
    finished->set_value();
    return 1;
  }));

  // While it hangs, the same question is not asked again: no second thread waits on the same mount.
  std::atomic<bool> asked{false};
  EXPECT_FALSE(CallWithin<int>("statvfs /mnt/nfs", milliseconds(5000), [&asked] {
    asked = true;
    return 2;
  }));
  EXPECT_FALSE(asked);
  // Other questions go on.
  EXPECT_EQ(CallWithin<int>("statvfs /", milliseconds(5000), [] { return 3; }), std::optional<int>(3));

  // Once the mount answers again, so do the questions about it.
  hang->set_value();
  returned.wait();
  std::optional<int> again;
  for (int attempt = 0; attempt < 100 && !again; ++attempt) {
    again = CallWithin<int>("statvfs /mnt/nfs", milliseconds(5000), [] { return 4; });
    if (!again) std::this_thread::sleep_for(milliseconds(10));  // the key is let go just after the answer
  }
  EXPECT_EQ(again, std::optional<int>(4));
}

TEST(BoundedCall, CallsStartedTogetherAreTakenByOneDeadlineAndAnAnswerInTimeIsKept) {
  auto go = std::make_shared<std::promise<void>>();
  std::shared_future<void> going = go->get_future().share();
  BoundedCall<int> first("volume Y:\\", [going] {
    going.wait();
    return 1;
  });
  BoundedCall<int> second("volume Z:\\", [going] {
    going.wait();
    return 2;
  });
  // Both run while the caller goes on: they answer only after both have been started.
  go->set_value();
  const auto deadline = std::chrono::steady_clock::now() + milliseconds(5000);
  EXPECT_EQ(first.TakeBy(deadline), std::optional<int>(1));
  EXPECT_EQ(second.TakeBy(deadline), std::optional<int>(2));
  // An answer given before the deadline is kept, however late it is taken again. (The call's own
  // return cannot stand for "answered": the answer is stored only after it.)
  EXPECT_EQ(first.TakeBy(std::chrono::steady_clock::now() - milliseconds(1)), std::optional<int>(1));

  // One still hanging at the deadline gives nothing.
  auto hang = std::make_shared<std::promise<void>>();
  std::shared_future<void> released = hang->get_future().share();
  BoundedCall<int> hanging("volume X:\\", [released] {
    released.wait();
    return 3;
  });
  EXPECT_FALSE(hanging.TakeBy(std::chrono::steady_clock::now() + milliseconds(50)));
  hang->set_value();
}

}  // namespace
}  // namespace korvanel
