// The pass protocol and the synchronous tests, run through the engine on a fake system.
#include <gtest/gtest.h>

#include <cerrno>

#include <algorithm>

#include "engine/tests/fake_system.h"

namespace korvanel::testing {
namespace {

using EngineRun = EngineTest;

TEST_F(EngineRun, QuickFullRunFillsEveryFieldInOrderAndLeavesNothing) {
  uint64_t file_size = 0;
  sys.on_transfer = [&](uint64_t n) {
    if (n == 0) file_size = sys.FileSize(*sys.Files().begin());
  };
  const BenchResults r = RunToEnd(engine, kTestAll);
  // 20 transfers of 1 ms each per pass: KiB per ms is the block size in KiB.
  EXPECT_DOUBLE_EQ(r.SR, 1024);
  EXPECT_DOUBLE_EQ(r.SW, 1024);
  EXPECT_DOUBLE_EQ(r.RR4KB, 4);
  EXPECT_DOUBLE_EQ(r.RW4KB, 4);
  EXPECT_DOUBLE_EQ(r.RR512KB, 512);
  EXPECT_DOUBLE_EQ(r.RW512KB, 512);
  EXPECT_DOUBLE_EQ(r.RR4KB64QD, 4);
  EXPECT_DOUBLE_EQ(r.RW4KB64QD, 4);
  EXPECT_DOUBLE_EQ(r.RR, r.RR4KB);
  EXPECT_DOUBLE_EQ(r.RW, r.RW4KB);
  EXPECT_EQ(file_size, 104857600u);

  const std::vector<std::string> expected = {
      "... Initialize ",
      "... Initialize ",
      "... Initialize  Sequential Read",
      "Sequential Read 1/1",
      "... Initialize  Sequential Write",
      "Sequential Write 1/1",
      "... Initialize  Random Read 4KB",
      "Random Read 4KB 1/1",
      "Random Write ... Initialize  4KB",
      "Random Write 4KB 1/1",
      "... Initialize  Random Read 512KB",
      "Random Read 512KB 1/1",
      "Random Write ... Initialize  512KB",
      "Random Write 512KB 1/1",
      "... Initialize  Random Read x 64",
      "Random Read 4KB x 64 1/1",
      "... Initialize  Random Write x 64",
      "Random Write 4KB x 64 1/1",
  };
  EXPECT_EQ(sys.Statuses(), expected);
  EXPECT_EQ(sys.timers_started, PlannedWindows(kTestAll, 1));
  EXPECT_TRUE(sys.Files().empty());
  EXPECT_TRUE(sys.Directories().empty());
  EXPECT_TRUE(sys.Errors().empty());
  // The run's end is its last word, and it comes once.
  const auto messages = sys.Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().kind, "ended");
  EXPECT_EQ(std::count_if(messages.begin(), messages.end(), [](const auto& m) { return m.kind == "ended"; }), 1);
  EXPECT_FALSE(engine.busy());
  EXPECT_EQ(engine.test_id(), kTestAll);
}

TEST_F(EngineRun, BestMeasuredPassCountsAndWarmUpDoesNot) {
  // Short test: two measured passes. Read passes take 1, 4, 2 ms per block; writes 1, 2, 4.
  sys.ms_per_transfer_by_pass = {1, 4, 2, 1, 2, 4};
  const BenchResults r = RunToEnd(engine, kTestSequential, 1);
  EXPECT_DOUBLE_EQ(r.SR, 512);  // pass 2; the faster warm-up is not counted
  EXPECT_DOUBLE_EQ(r.SW, 512);  // pass 1, the best, stored again after the slower pass 2
  EXPECT_DOUBLE_EQ(sys.refreshes.back().SW, 512);
  EXPECT_EQ(r.RR4KB, 0);
  EXPECT_EQ(sys.Statuses().back(), "Sequential Write 2/2");
}

TEST_F(EngineRun, StopDuringMeasuredPassKeepsThatPassNotTheBest) {
  sys.ms_per_transfer_by_pass = {1, 4, 1};
  // Transfer 20 is the first of measured pass 1 (the warm-up has 20).
  sys.on_transfer = [&](uint64_t n) {
    if (n == 20) engine.RequestStop();
  };
  const BenchResults r = RunToEnd(engine, kTestSequential, 1);
  EXPECT_DOUBLE_EQ(r.SR, 256);
  EXPECT_EQ(r.SW, 0);
  for (const Transfer& t : sys.Transfers()) EXPECT_FALSE(t.write);
  EXPECT_EQ(sys.Transfers().size(), 40u);  // the pass that saw the stop ran to the end of its window
  EXPECT_TRUE(sys.Files().empty());
  EXPECT_TRUE(sys.Errors().empty());
}

TEST_F(EngineRun, StopDuringWarmUpStillRunsOneMeasuredPass) {
  sys.on_transfer = [&](uint64_t n) {
    if (n == 3) engine.RequestStop();
  };
  const BenchResults r = RunToEnd(engine, kTestAll, 1);
  EXPECT_DOUBLE_EQ(r.SR, 1024);
  EXPECT_EQ(r.SW, 0);
  EXPECT_EQ(r.RR4KB, 0);
  EXPECT_EQ(sys.Statuses().back(), "Sequential Read 1/2");
  EXPECT_TRUE(sys.Directories().empty());
}

TEST_F(EngineRun, AbortEndsTheMeasuredPassAtOnceAndCountsOnlyEarlierPasses) {
  // Short test: pass 1 reads at 2 ms per block (512 KiB/ms); pass 2 at 1 ms would be faster, and
  // its live values (1024) are already shown when the abort comes 250 blocks into it.
  sys.ops_per_pass = {20, 20, 300};
  sys.ms_per_transfer_by_pass = {1, 2, 1};
  sys.on_transfer = [&](uint64_t n) {
    if (n == 290) engine.AbortPass();
  };
  const BenchResults r = RunToEnd(engine, kTestSequential, 1);
  EXPECT_EQ(sys.Transfers().size(), 291u);  // not one request after the abort
  EXPECT_DOUBLE_EQ(r.SR, 512);
  EXPECT_DOUBLE_EQ(sys.refreshes.back().SR, 512);
  EXPECT_EQ(r.SW, 0);
  EXPECT_TRUE(sys.Errors().empty());
  EXPECT_TRUE(sys.Files().empty());
  EXPECT_TRUE(sys.Directories().empty());
  EXPECT_EQ(sys.Messages().back().kind, "ended");
}

TEST_F(EngineRun, AbortAfterAStopDropsThePassTheStopWaitedFor) {
  // The first stop lets measured pass 1 run; the abort 10 blocks into it ends it uncounted, and
  // no earlier measured pass exists.
  sys.on_transfer = [&](uint64_t n) {
    if (n == 20) engine.RequestStop();
    if (n == 30) engine.AbortPass();
  };
  const BenchResults r = RunToEnd(engine, kTestAll, 1);
  EXPECT_EQ(sys.Transfers().size(), 31u);
  EXPECT_EQ(r.SR, 0);
  EXPECT_EQ(sys.Statuses().back(), "Sequential Read 1/2");
  EXPECT_TRUE(sys.Files().empty());
}

TEST_F(EngineRun, AbortBetweenPassesOpensNoFurtherWindow) {
  // The abort arrives while the next pass is being announced, before its window opens.
  sys.on_status = [&](const std::string& status) {
    if (status == "Sequential Read 2/2") engine.AbortPass();
  };
  sys.ms_per_transfer_by_pass = {1, 2};
  const BenchResults r = RunToEnd(engine, kTestSequential, 1);
  EXPECT_EQ(sys.Transfers().size(), 40u);  // warm-up and pass 1; pass 2 ends before its first request
  EXPECT_DOUBLE_EQ(r.SR, 512);
  EXPECT_EQ(r.SW, 0);
}

TEST_F(EngineRun, APausedPassDoesNotCountAndRunsAgain) {
  // Quick test, passes by index: 0 read warm-up, 1 measured read, ... The measured read pass is
  // paused for 5 s: its 20 blocks over 5020 ms would read 4 KiB/ms instead of 1024.
  sys.paused_passes = {1};
  const BenchResults r = RunToEnd(engine, kTestSequential);
  EXPECT_DOUBLE_EQ(r.SR, 1024);
  EXPECT_DOUBLE_EQ(r.SW, 1024);
  EXPECT_EQ(sys.timers_started, 5);  // the paused pass ran once more
  const std::vector<std::string> statuses = sys.Statuses();
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Sequential Read 1/1"), 2);
  EXPECT_EQ(sys.Notices(), (std::vector<std::string>{
                               "Sequential Read 1/1 was paused (the program was stopped or the system suspended): "
                               "it does not count and runs again"}));
  EXPECT_EQ(engine.passes_lost_to_pauses(), 0);
  // A paused warm-up measures nothing anyway: it is not repeated.
  sys.paused_passes = {0};
  RunToEnd(engine, kTestSequential);
  EXPECT_EQ(sys.timers_started, 4);
  EXPECT_EQ(sys.Notices().size(), 1u);
}

TEST_F(EngineRun, APassPausedEveryTimeLeavesItsValueNotMeasured) {
  // The measured read pass and each of its repeats are paused; the write side is not.
  sys.paused_passes = {1, 2, 3, 4};
  const BenchResults r = RunToEnd(engine, kTestSequential);
  EXPECT_EQ(r.SR, 0);
  EXPECT_DOUBLE_EQ(r.SW, 1024);
  EXPECT_EQ(sys.timers_started, 4 + 3);
  ASSERT_EQ(sys.Notices().size(), 4u);
  EXPECT_EQ(sys.Notices().back(),
            "Sequential Read 1/1 was paused (the program was stopped or the system suspended): it does not count");
  EXPECT_EQ(engine.passes_lost_to_pauses(), 1);
  EXPECT_TRUE(sys.Errors().empty());
}

TEST_F(EngineRun, AStopDuringAPausedPassEndsTheDirectionWithTheEarlierBest) {
  // Short test: measured read pass 1 at 2 ms a block, pass 2 paused and stopped during its window.
  sys.ms_per_transfer_by_pass = {1, 2, 1};
  sys.paused_passes = {2};
  sys.on_transfer = [&](uint64_t n) {
    if (n == 45) engine.RequestStop();
  };
  const BenchResults r = RunToEnd(engine, kTestSequential, 1);
  EXPECT_DOUBLE_EQ(r.SR, 512);
  EXPECT_EQ(r.SW, 0);
  EXPECT_EQ(sys.timers_started, 3);
  EXPECT_EQ(sys.Notices().size(), 1u);
  EXPECT_NE(sys.Notices()[0].find("Sequential Read 2/2 was paused"), std::string::npos);
}

TEST_F(EngineRun, AbortDuringTheQueuedTestStopsIssuingAndDrains) {
  sys.default_ops = 1000;  // a window of many batches
  sys.on_transfer = [&](uint64_t n) {
    if (n == 100) engine.AbortPass();
  };
  const BenchResults r = RunToEnd(engine, kTestQueued4K);
  // After the abort (transfer 100) only requests already in flight complete: at most 64.
  EXPECT_LE(sys.Transfers().size(), 101u + 64u);
  EXPECT_EQ(r.RR4KB64QD, 0);
  EXPECT_EQ(r.RW4KB64QD, 0);
  EXPECT_TRUE(sys.Errors().empty());
  EXPECT_TRUE(sys.Files().empty());
}

TEST_F(EngineRun, ANewRunAfterAnAbortMeasuresNormally) {
  sys.on_transfer = [&](uint64_t n) {
    if (n == 3) engine.AbortPass();
  };
  EXPECT_EQ(RunToEnd(engine, kTestSequential).SR, 0);
  sys.on_transfer = nullptr;
  const BenchResults r = RunToEnd(engine, kTestSequential);
  EXPECT_DOUBLE_EQ(r.SR, 1024);
  EXPECT_DOUBLE_EQ(r.SW, 1024);
}

TEST_F(EngineRun, LiveValuesAtMostEveryHundredMilliseconds) {
  sys.default_ops = 350;
  RunToEnd(engine, kTestSequential);
  // Per pass: updates after 101, 202 and 303 ms; four passes; plus one store per measured pass and
  // one best per direction.
  EXPECT_EQ(sys.refreshes.size(), 4u * 3u + 2u + 2u);
  EXPECT_DOUBLE_EQ(sys.refreshes.front().SR, 1024);
}

TEST_F(EngineRun, SequentialWrapsAroundTheFile) {
  sys.default_ops = 150;  // more blocks than the 100 MiB file has
  RunToEnd(engine, kTestSequential);
  const auto transfers = sys.Transfers();
  EXPECT_EQ(transfers[99].offset, 99u << 20);
  EXPECT_EQ(transfers[100].offset, 0u);
  EXPECT_EQ(transfers[150].offset, 0u);  // every pass starts at the beginning
}

TEST_F(EngineRun, RandomOffsetsAreAlignedAndInsideTheFile) {
  sys.default_ops = 2000;
  RunToEnd(engine, kTestRandom4K);
  uint64_t largest = 0;
  for (const Transfer& t : sys.Transfers()) {
    EXPECT_EQ(t.bytes, 4096u);
    EXPECT_EQ(t.offset % 4096, 0u);
    largest = std::max(largest, t.offset);
  }
  EXPECT_LE(largest, 104853504u);
  EXPECT_GT(largest, 100000000u);  // 8000 draws from 25600 positions reach the end
  RunToEnd(engine, kTestRandom512K);
  for (const Transfer& t : sys.Transfers()) {
    if (t.bytes != 524288) continue;
    EXPECT_EQ(t.offset % 524288, 0u);
    EXPECT_LE(t.offset + t.bytes, 104857600u);
  }
}

TEST_F(EngineRun, AccessTimeTestFillsOnlyItsOwnFields) {
  const BenchResults r = RunToEnd(engine, kTestAccessTime);
  EXPECT_DOUBLE_EQ(r.RR, 4);
  EXPECT_DOUBLE_EQ(r.RW, 4);
  EXPECT_EQ(r.RR4KB, 0);
  EXPECT_EQ(r.RW4KB, 0);
  EXPECT_EQ(sys.Statuses()[1], "... Initialize  Random Read 4KB");
}

TEST_F(EngineRun, ReadFailureShowsTheSystemErrorAndCleansUp) {
  sys.fail_transfer_at = 25;  // in measured read pass 1
  const BenchResults r = RunToEnd(engine, kTestSequential);
  ASSERT_EQ(sys.Errors().size(), 1u);
  EXPECT_EQ(sys.Errors()[0], ExpectedIoError("Read Error", EIO));
  // Beside the box: what failed on which path (the fake clock still shows the start tick 1000).
  EXPECT_EQ(sys.ErrorDetails(),
            (std::vector<std::string>{"reading the test file /drive/Korvanel000003E8/Korvanel000003E8.tmp"}));
  EXPECT_EQ(r.SR, 0);  // the failed pass is discarded; the warm-up never counted
  EXPECT_TRUE(sys.Files().empty());
  EXPECT_TRUE(sys.Directories().empty());
  EXPECT_EQ(sys.Messages().back().kind, "ended");
}

TEST_F(EngineRun, AFailedPassLeavesItsDirectionNotMeasured) {
  // 350 transfers of 1 ms per pass: live values appear after 101, 202 and 303 ms.
  sys.default_ops = 350;
  sys.fail_transfer_at = 250;  // in the warm-up, after two live values
  BenchResults r = RunToEnd(engine, kTestSequential);
  EXPECT_GT(sys.refreshes.front().SR, 0);
  EXPECT_EQ(r.SR, 0);
  EXPECT_EQ(sys.refreshes.back().SR, 0);

  sys.refreshes.clear();
  sys.fail_transfer_at = 350 + 250;  // in measured pass 1, after its live values
  r = RunToEnd(engine, kTestSequential);
  EXPECT_EQ(r.SR, 0);
  EXPECT_EQ(sys.refreshes.back().SR, 0);

  // Short test: the first measured write pass succeeds, the second fails; the direction has no best.
  sys.fail_transfer_at = 3 * 350 + 2 * 350 + 100;
  r = RunToEnd(engine, kTestSequential, 1);
  EXPECT_DOUBLE_EQ(r.SR, 1024);
  EXPECT_EQ(r.SW, 0);
}

TEST_F(EngineRun, WriteFailureKeepsTheReadResult) {
  sys.fail_transfer_at = 45;  // read: 40 transfers; then the write warm-up
  const BenchResults r = RunToEnd(engine, kTestSequential);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{ExpectedIoError("Write Error", EIO)}));
  EXPECT_DOUBLE_EQ(r.SR, 1024);
  EXPECT_EQ(r.SW, 0);
}

TEST_F(EngineRun, StartWhileARunExistsOnlyStopsIt) {
  std::atomic<int> second_outcome{-1};
  sys.on_transfer = [&](uint64_t n) {
    if (n == 5) {
      StartRequest again{kTestRandom4K, "/other", 0};
      second_outcome = static_cast<int>(engine.Start(again));
    }
  };
  RunToEnd(engine, kTestSequential, 1);
  EXPECT_EQ(second_outcome, static_cast<int>(BenchEngine::Outcome::kStopRequested));
  EXPECT_EQ(engine.test_id(), kTestSequential);
  for (const Transfer& t : sys.Transfers()) EXPECT_NE(t.bytes, 4096u);
  // After the run, a start is accepted again.
  EXPECT_EQ(engine.Start({kTestRandom4K, "/drive", 0}), BenchEngine::Outcome::kStarted);
  engine.WaitForRun();
  EXPECT_EQ(engine.Start({4711, "/drive", 0}), BenchEngine::Outcome::kRejected);
}

TEST_F(EngineRun, TextsReplacedBetweenRunsAppearInTheStatus) {
  EngineTextArray german = DefaultEngineTexts();
  german[kTextSequentialRead] = "Sequenzielles Lesen ";
  engine.SetTexts(german);
  RunToEnd(engine, kTestSequential);
  EXPECT_EQ(sys.Statuses()[2], "Sequenzielles Lesen  1/1");
}

}  // namespace
}  // namespace korvanel::testing
