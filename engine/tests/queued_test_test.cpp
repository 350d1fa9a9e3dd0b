// The queued test's loop: priming, successors, the drain, failures and the drain limit. The fake
// completes every handed-over request at the next wait.
#include <gtest/gtest.h>

#include <cerrno>

#include "engine/queued_test.h"
#include "engine/tests/fake_system.h"

namespace korvanel::testing {
namespace {

using QueuedRun = EngineTest;

TEST_F(QueuedRun, DrainsEveryIssuedRequestAndCountsThem) {
  const BenchResults r = RunToEnd(engine, kTestQueued4K);
  // The window closes at the 20th completion of the first batch: 19 successors started before it,
  // and all 83 drain.
  EXPECT_EQ(sys.Transfers().size(), 4u * 83u);
  EXPECT_DOUBLE_EQ(r.RR4KB64QD, 4);
  EXPECT_DOUBLE_EQ(r.RW4KB64QD, 4);
  for (const Transfer& t : sys.Transfers()) {
    EXPECT_EQ(t.bytes, 4096u);
    EXPECT_EQ(t.offset % 4096, 0u);
    EXPECT_LT(t.offset, 104857600u);
  }
  EXPECT_TRUE(sys.Errors().empty());
  EXPECT_TRUE(sys.Files().empty());
}

TEST_F(QueuedRun, EveryCompletionStartsASuccessorWhileTheWindowIsOpen) {
  sys.default_ops = 200;  // the window closes in the fourth batch of 64
  RunToEnd(engine, kTestQueued4K);
  EXPECT_EQ(sys.Transfers().size(), 4u * (256u + 7u));  // 64 primed, 3 x 64 + 7 successors, drained
  EXPECT_EQ(sys.cancels, 0);
}

TEST_F(QueuedRun, AFailedRequestCancelsTheRestAndFailsThePass) {
  sys.fail_transfer_at = 10;
  const BenchResults r = RunToEnd(engine, kTestQueued4K);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{ExpectedIoError("Read Error", EIO)}));
  EXPECT_EQ(sys.cancels, 1);
  EXPECT_EQ(r.RR4KB64QD, 0);
  for (const Transfer& t : sys.Transfers()) EXPECT_FALSE(t.write);
  EXPECT_TRUE(sys.Files().empty());
}

TEST_F(QueuedRun, WriteFailureUsesTheWriteText) {
  sys.fail_transfer_at = 2 * 83 + 5;  // in the write warm-up
  const BenchResults r = RunToEnd(engine, kTestQueued4K);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{ExpectedIoError("Write Error", EIO)}));
  EXPECT_DOUBLE_EQ(r.RR4KB64QD, 4);
}

TEST_F(QueuedRun, UnopenableFileIsACreateError) {
  sys.queued_setup_error = ENOMEM;
  RunToEnd(engine, kTestQueued4K);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{ExpectedIoError("Create-File Error", ENOMEM)}));
}

TEST_F(QueuedRun, RequestsThatNeverCompleteEndThePassAfterTheDrainLimit) {
  sys.queued_never_completes = true;
  const uint32_t before = sys.TickMs();
  RunToEnd(engine, kTestQueued4K);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{ExpectedIoError("Read Error", ETIMEDOUT)}));
  const uint32_t waited = sys.TickMs() - before;
  EXPECT_GE(waited, kQueuedDrainLimitMs);
  EXPECT_LT(waited, kQueuedDrainLimitMs + 5000);
  EXPECT_TRUE(sys.Files().empty());
}

}  // namespace
}  // namespace korvanel::testing
