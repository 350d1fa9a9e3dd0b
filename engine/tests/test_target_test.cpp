// Preparation and cleanup on a fake system: every failure leaves the drive as it was.
#include <gtest/gtest.h>

#include <cerrno>

#include "engine/random_generator.h"
#include "engine/tests/fake_system.h"

namespace korvanel::testing {
namespace {

class Preparation : public EngineTest {
 protected:
  void ExpectNothingLeftAndNothingMeasured(const BenchResults& r) {
    EXPECT_TRUE(sys.Files().empty());
    EXPECT_TRUE(sys.Directories().empty());
    EXPECT_TRUE(sys.Transfers().empty());
    EXPECT_EQ(r.SR, 0);
    EXPECT_EQ(r.SW, 0);
    EXPECT_FALSE(engine.busy());
    EXPECT_FALSE(engine.run_exists());
  }
};

TEST_F(Preparation, FreeSpaceMustHoldTheTestFile) {
  sys.free_bytes = (100ull << 20) - 1;
  const BenchResults r = RunToEnd(engine, kTestAll);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{"Disk-Full"}));
  EXPECT_EQ(sys.ErrorDetails(), (std::vector<std::string>{"checking the free space in /drive: 99 MiB free, 100 MiB needed"}));
  ExpectNothingLeftAndNothingMeasured(r);
  EXPECT_EQ(sys.first_fill_words.size(), 0u);  // failed before the buffer

  FakeSystem exact;
  BenchEngine engine2{exact, exact, exact};
  exact.engine = &engine2;
  exact.free_bytes = 100ull << 20;  // exactly the test size is enough
  RunToEnd(engine2, kTestSequential);
  EXPECT_TRUE(exact.Errors().empty());
}

TEST_F(Preparation, AFailedSpaceQueryLeavesTheVerdictToTheProbe) {
  sys.free_query_fails = true;
  RunToEnd(engine, kTestSequential);
  EXPECT_TRUE(sys.Errors().empty());
  sys.probe_error = EROFS;
  const BenchResults r = RunToEnd(engine, kTestSequential);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{ExpectedIoError("Create-File Error", EROFS)}));
  EXPECT_EQ(r.SR, 0);
}

TEST_F(Preparation, ReadOnlyDriveFailsAtTheDirectoryWithTheReason) {
  sys.create_dir_error = EROFS;
  const BenchResults r = RunToEnd(engine, kTestAll);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{ExpectedIoError("Create-File Error", EROFS)}));
  EXPECT_EQ(sys.ErrorDetails(), (std::vector<std::string>{"creating the test directory /drive/Korvanel000003E8"}));
  ExpectNothingLeftAndNothingMeasured(r);
}

TEST_F(Preparation, ATakenDirectoryNameIsNeitherUsedNorRemoved) {
  // Someone planted the name the first tick gives; the run takes the next one.
  sys.start_tick = 0x00ABCDEF;
  sys.taken_dirs = {"/drive/Korvanel00ABCDEF"};
  std::set<std::string> dirs_during_run;
  sys.on_transfer = [&](uint64_t) { dirs_during_run = sys.Directories(); };
  RunToEnd(engine, kTestSequential);
  EXPECT_EQ(dirs_during_run, (std::set<std::string>{"/drive/Korvanel00ABCDF0"}));
  EXPECT_TRUE(sys.Errors().empty());
  EXPECT_TRUE(sys.Directories().empty());
}

TEST_F(Preparation, TestFileThatCannotBeCreatedIsReported) {
  sys.create_file_error = EINVAL;
  const BenchResults r = RunToEnd(engine, kTestAll);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{ExpectedIoError("Create-File Error", EINVAL)}));
  ExpectNothingLeftAndNothingMeasured(r);
}

TEST_F(Preparation, StopDuringTheFillEndsQuietly) {
  // A stop while the 1000 MiB file is being written: the fill ends, nothing is shown.
  sys.stop_at_fill_offset = 300ll << 20;
  engine.Start({kTestAll, "/drive", 3});
  engine.WaitForRun();
  EXPECT_TRUE(sys.Errors().empty());
  ExpectNothingLeftAndNothingMeasured(engine.results());
  EXPECT_EQ(sys.Statuses().back(), "... Initialize ");
}

TEST_F(Preparation, BufferContinuesTheGeneratorAcrossRuns) {
  sys.start_tick = 777;
  RunToEnd(engine, kTestSequential);  // uses the generator only for the buffer
  RunToEnd(engine, kTestSequential);
  RandomGenerator expected;
  expected.SeedOnce(777);
  ASSERT_EQ(sys.first_fill_words.size(), 2u);
  EXPECT_EQ(sys.first_fill_words[0], expected.Next());  // the first value, not the seed
  for (int i = 1; i < 262144; ++i) expected.Next();
  EXPECT_EQ(sys.first_fill_words[1], expected.Next());
}

TEST_F(Preparation, BufferFollowsTheFileSystemsDirectIoAlignment) {
  sys.dio_alignment = 1u << 16;
  RunToEnd(engine, kTestSequential);
  EXPECT_EQ(sys.misaligned_buffers, 0);
  EXPECT_TRUE(sys.Errors().empty());
}

TEST_F(Preparation, RamDiskIsMeasuredCachedAndSaysSo) {
  sys.ram_disk = true;
  const BenchResults r = RunToEnd(engine, kTestSequential);
  EXPECT_DOUBLE_EQ(r.SR, 1024);
  EXPECT_EQ(sys.Statuses()[1], "... Initialize  Sequential Read (RAM disk, cached I/O)");
  EXPECT_TRUE(sys.Files().empty());
}

}  // namespace
}  // namespace korvanel::testing
