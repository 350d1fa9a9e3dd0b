// The small fixed rules of the engine: texts, names, parameters, the rate and the generator.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/rate.h"
#include "engine/random_generator.h"
#include "engine/rate_table.h"
#include "engine/run_parameters.h"
#include "engine/status_texts.h"
#include "engine/test_names.h"

namespace korvanel {
namespace {

TEST(StatusTexts, FollowThePassAndDirection) {
  const EngineTextArray& t = DefaultEngineTexts();
  // text 0 ends in a blank, so a warm-up status has two blanks after "Initialize"
  EXPECT_EQ(SequentialStatus(t, false, 0, 2), "... Initialize  Sequential Read");
  EXPECT_EQ(SequentialStatus(t, false, 1, 2), "Sequential Read 1/2");
  EXPECT_EQ(SequentialStatus(t, true, 2, 2), "Sequential Write 2/2");
  EXPECT_EQ(RandomStatus(t, false, 4, 0, 2), "... Initialize  Random Read 4KB");
  EXPECT_EQ(RandomStatus(t, true, 4, 0, 2), "Random Write ... Initialize  4KB");
  EXPECT_EQ(RandomStatus(t, false, 4, 1, 2), "Random Read 4KB 1/2");
  EXPECT_EQ(RandomStatus(t, true, 512, 4, 4), "Random Write 512KB 4/4");
  EXPECT_EQ(QueuedStatus(t, false, 4, 64, 0, 2), "... Initialize  Random Read x 64");
  EXPECT_EQ(QueuedStatus(t, true, 4, 64, 0, 2), "... Initialize  Random Write x 64");
  EXPECT_EQ(QueuedStatus(t, false, 4, 64, 1, 2), "Random Read 4KB x 64 1/2");
}

TEST(StatusTexts, DefaultsAndIoErrorFormat) {
  const EngineTextArray& t = DefaultEngineTexts();
  EXPECT_EQ(t[kTextInitialize], "... Initialize ");
  EXPECT_EQ(t[kTextDiskFull], "Disk-Full");
  EXPECT_EQ(t[kTextCreateFileError], "Create-File Error");
  EXPECT_EQ(t[kTextMemoryError], "Memory Error");
  EXPECT_EQ(IoErrorText("Read Error", 23, "Data error"), "Read Error\r\n0x00000017:Data error");
  EXPECT_EQ(IoErrorText("x", -1, ""), "x\r\n0xFFFFFFFF:");
}

TEST(EngineTexts, SnapshotSurvivesReplacement) {
  EngineTexts texts;
  auto before = texts.Snapshot();
  EngineTextArray german = DefaultEngineTexts();
  german[kTextReadError] = "Lesefehler";
  texts.Replace(german);
  EXPECT_EQ((*before)[kTextReadError], "Read Error");
  EXPECT_EQ((*texts.Snapshot())[kTextReadError], "Lesefehler");
}

TEST(TestTargetNames, UseUpperCaseHexTicks) {
  EXPECT_EQ(TestDirectoryPath("/mnt/data", 0x0012AB34), "/mnt/data/Korvanel0012AB34");
  EXPECT_EQ(TestDirectoryPath("/mnt/data//", 0xABCDEF01), "/mnt/data/KorvanelABCDEF01");
  EXPECT_EQ(TestDirectoryPath("/", 1), "/Korvanel00000001");
  EXPECT_EQ(TestFilePath("/mnt/Korvanel0012AB34", 0x0012AB35), "/mnt/Korvanel0012AB34/Korvanel0012AB35.tmp");
}

TEST(RunParameters, FollowTheTestLength) {
  RunParameters start;
  EXPECT_EQ(start.pass_count, 2);
  EXPECT_EQ(start.window_ms, 1500);
  EXPECT_EQ(start.test_size_mb, "100");
  const int expected[4][2] = {{1, 600}, {2, 1200}, {2, 2400}, {4, 4800}};
  const char* sizes[4] = {"100", "200", "500", "1000"};
  for (int i = 0; i < 4; ++i) {
    RunParameters p = ParametersForTestTime(i, start);
    EXPECT_EQ(p.pass_count, expected[i][0]);
    EXPECT_EQ(p.window_ms, expected[i][1]);
    EXPECT_EQ(p.test_size_mb, sizes[i]);
  }
  // No selection: two passes, the rest as it was.
  RunParameters odd = ParametersForTestTime(-1, ParametersForTestTime(3, start));
  EXPECT_EQ(odd.pass_count, 2);
  EXPECT_EQ(odd.window_ms, 4800);
  EXPECT_EQ(odd.test_size_mb, "1000");
  EXPECT_EQ(TestSizeMiB("1000"), 1000u);
  EXPECT_EQ(TestSizeMiB("200MB"), 200u);
  EXPECT_EQ(TestSizeMiB("x"), 0u);
  // Windows of a full run add up to 9.6 s, 28.8 s, 57.6 s and 192 s.
  const int total_ms[4] = {9600, 28800, 57600, 192000};
  for (int i = 0; i < 4; ++i) {
    RunParameters p = ParametersForTestTime(i, start);
    EXPECT_EQ(PlannedWindows(kTestAll, p.pass_count) * p.window_ms, total_ms[i]);
  }
}

TEST(RateTable, NamesEveryResultOnceAndEveryTestButTheFullRun) {
  // A rate added to BenchResults without a row would be measured but never shown or reported.
  std::set<std::string> keys;
  BenchResults marked;
  double mark = 1;
  for (const TestRates& test : kRateTable) {
    for (const ReportedRate& rate : {test.read, test.write}) {
      EXPECT_TRUE(keys.insert(rate.key).second) << rate.key;
      EXPECT_EQ(marked.*rate.field, 0) << rate.key << " shares its field";
      marked.*rate.field = mark++;
    }
    EXPECT_TRUE(IsTestId(test.test));
    EXPECT_EQ(FindTestRates(test.test), &test);
  }
  EXPECT_EQ(keys.size() * sizeof(double), sizeof(BenchResults));
  EXPECT_EQ(FindTestRates(kTestAll), nullptr);
  EXPECT_FALSE(IsTestId(1031));  // the drive list's id
}

TEST(Rate, IsKibPerMillisecond) {
  EXPECT_DOUBLE_EQ(Rate(1048576, 10, 1000), 10.24);
  EXPECT_DOUBLE_EQ(Rate(4096, 1000, 1000), 4.0);
  EXPECT_DOUBLE_EQ(Rate(524288, 3, 1536), 1.0);
  EXPECT_DOUBLE_EQ(Rate(4096, 0, 600), 0.0);
  EXPECT_DOUBLE_EQ(Rate(4096, 5, 0), 20.0);  // no infinite rates from a coarse clock
}

TEST(RandomGenerator, FollowsItsRecurrenceFromTheSeed) {
  RandomGenerator rng;
  rng.SeedOnce(12345);
  rng.SeedOnce(99999);  // seeded once only
  uint32_t expected = 12345u * 8253729u + 2396403u;
  EXPECT_EQ(rng.Next(), expected);
  expected = expected * 8253729u + 2396403u;
  EXPECT_EQ(rng.Next(), expected);
  RandomGenerator wraps;
  wraps.SeedOnce(0xFFFFFFFFu);
  EXPECT_EQ(wraps.Next(), static_cast<uint32_t>(0xFFFFFFFFull * 8253729ull + 2396403ull));
}

}  // namespace
}  // namespace korvanel
