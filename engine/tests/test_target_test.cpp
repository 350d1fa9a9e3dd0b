// Preparation and cleanup on a fake system: every failure leaves the drive as it was.
#include <gtest/gtest.h>

#include <cerrno>

#include "engine/random_generator.h"
#include "engine/test_names.h"
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

TEST_F(Preparation, NamesTakenFarAheadDoNotBlockTheRun) {
  // Someone who holds the names of the next 30 s of ticks would otherwise stop every run.
  sys.start_tick = 0x00ABCDEF;
  for (uint32_t i = 0; i < 30000; ++i) sys.taken_dirs.insert(TestDirectoryPath("/drive", sys.start_tick + i));
  std::set<std::string> dirs_during_run;
  sys.on_transfer = [&](uint64_t) { dirs_during_run = sys.Directories(); };
  RunToEnd(engine, kTestSequential);
  EXPECT_TRUE(sys.Errors().empty());
  ASSERT_EQ(dirs_during_run.size(), 1u);
  const std::string used = *dirs_during_run.begin();
  EXPECT_TRUE(used.starts_with("/drive/") && IsTestDirectoryName(used.substr(7))) << used;
  EXPECT_FALSE(sys.taken_dirs.contains(used));
  EXPECT_TRUE(sys.Directories().empty());
}

TEST_F(Preparation, WhatCleanupCannotRemoveIsNamed) {
  sys.start_tick = 0x100;
  sys.remove_file_error = EIO;  // the file system failed under the run
  RunToEnd(engine, kTestSequential);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{
                              ExpectedIoError("Could not remove /drive/Korvanel00000100/Korvanel00000100.tmp", EIO)}));

  FakeSystem busy;
  BenchEngine engine2{busy, busy, busy};
  busy.engine = &engine2;
  busy.start_tick = 0x200;
  busy.remove_dir_error = EBUSY;
  RunToEnd(engine2, kTestSequential);
  EXPECT_EQ(busy.Errors(),
            (std::vector<std::string>{ExpectedIoError("Could not remove /drive/Korvanel00000200", EBUSY)}));
}

// A scanner, indexer or sync client that opens the probe as it appears keeps its name "delete
// pending" for a moment after its removal; the test file has a name of its own and is made anyway.
TEST_F(Preparation, AProbeNameLeftDeletePendingDoesNotRefuseTheTestFile) {
  sys.deletes_stay_pending = true;
  const BenchResults r = RunToEnd(engine, kTestSequential);
  EXPECT_TRUE(sys.Errors().empty()) << sys.Errors().front();
  EXPECT_GT(r.SR, 0);
  EXPECT_TRUE(sys.Files().empty());
  EXPECT_TRUE(sys.Directories().empty());
}

// Windows carries out overlapped writes to encrypted files one at a time: the 64 X 4K write rate is
// then that of one request, and the user must learn why.
TEST_F(Preparation, AnEncryptedTestDirectoryIsToldOnceAndInEveryStatus) {
  sys.encrypted = true;
  RunToEnd(engine, kTestQueued4K);
  const std::vector<std::string> notes = sys.Notices();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("encrypted"), std::string::npos) << notes[0];
  ASSERT_FALSE(sys.Statuses().empty());
  for (const std::string& status : sys.Statuses()) {
    if (status == "... Initialize ") continue;  // preparation's, before any pass
    EXPECT_TRUE(status.ends_with(" (encrypted folder, writes not queued)")) << status;
  }
}

TEST_F(Preparation, ADirectoryMovedByOthersFailsTheRunAndIsNamed) {
  sys.start_tick = 0x300;
  sys.dir_moved = true;
  const BenchResults r = RunToEnd(engine, kTestAll);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{"Create-File Error\r\n0x00000074:moved away",
                                                    "Could not remove /drive/Korvanel00000300\r\n"
                                                    "0x00000074:moved away"}));
  EXPECT_TRUE(sys.Transfers().empty());
  EXPECT_TRUE(sys.Files().empty());  // the file is removed wherever the directory went
  EXPECT_EQ(r.SR, 0);
}

// After a SIGKILL or a crash a full-size test file may remain; when space runs short, the user
// learns where. Only a directory with our naming that holds nothing but one file of our naming
// counts, and nothing is removed: we cannot prove it is ours.
TEST_F(Preparation, ADiskFullNamesWhatAnEarlierRunMayHaveLeft) {
  using Kind = platform::DirectoryEntry::Kind;
  sys.free_bytes = 40ull << 20;
  sys.listings["/drive"] = {{"Korvanel0000ABCD", Kind::kDirectory, 0},   {"Korvanel0000ABCE", Kind::kDirectory, 0},
                            {"Korvanel0000abcf", Kind::kDirectory, 0},   {"Korvanel0000AB", Kind::kDirectory, 0},
                            {"Korvanel0000ABD0", Kind::kRegularFile, 9}, {"photos", Kind::kDirectory, 0}};
  sys.listings["/drive/Korvanel0000ABCD"] = {{"Korvanel0000ABCE.tmp", Kind::kRegularFile, 100ull << 20}};
  sys.listings["/drive/Korvanel0000ABCE"] = {{"Korvanel0000ABCE.tmp", Kind::kRegularFile, 1},
                                             {"notes.txt", Kind::kRegularFile, 1}};
  sys.listings["/drive/Korvanel0000abcf"] = {{"Korvanel0000ABCF.tmp", Kind::kRegularFile, 1}};
  const BenchResults r = RunToEnd(engine, kTestAll);
  EXPECT_EQ(sys.Errors(), (std::vector<std::string>{
                              "Disk-Full\r\nLeft by an earlier run? /drive/Korvanel0000ABCD holds 100 MiB "
                              "(not removed: delete it if it is yours)"}));
  ExpectNothingLeftAndNothingMeasured(r);
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
