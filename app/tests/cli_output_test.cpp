// What the CLI prints: the progress line, the results table and the JSON.
#include <gtest/gtest.h>

#include "app/cli/cli_host.h"
#include "app/cli/cli_report.h"

namespace korvanel::cli {
namespace {

TEST(ProgressLine, CountsDownTheWindowsLeft) {
  // Quick full run: 16 windows of 600 ms.
  EXPECT_EQ(ProgressLine(0, 16, 600, 0, "... Initialize ", 79), "[--------------------]   0%  0:10 left  ... Initialize ");
  // The eighth window has just opened: seven are done.
  EXPECT_EQ(ProgressLine(8, 16, 600, 600, "Random Read 4KB 1/1", 79),
            "[########------------]  43%  0:06 left  Random Read 4KB 1/1");
  EXPECT_EQ(ProgressLine(8, 16, 600, 0, "", 79).substr(0, 39), "[##########----------]  50%  0:05 left ");
  EXPECT_EQ(ProgressLine(16, 16, 600, 0, "", 79), "[####################] 100%  0:00 left  ");
  // More windows than planned (the access-time rerun) never goes past the end.
  EXPECT_EQ(ProgressLine(18, 16, 600, 0, "", 79).substr(0, 28), "[####################] 100% ");
}

TEST(ProgressLine, CutsLongStatusesOnCharacterBoundaries) {
  const std::string line = ProgressLine(1, 4, 1000, 500, std::string(60, 'x') + "ü", 100);
  EXPECT_EQ(line.size(), 40u + 60u);  // the two-byte "ü" does not fit whole, so it goes
}

TEST(ResultsTable, ShowsThePanelRowsAndRatings) {
  ValueTexts t;
  t.seq_read = "123.46 MB/s ";
  t.seq_write = "100.00 MB/s ";
  t.rnd4_read = t.rnd4_write = t.rnd512_read = t.rnd512_write = t.qd_read = t.qd_write = "0.00 MB/s ";
  t.access_read = "0.1000 ms. ";
  t.access_write = "------ ";
  t.read_rating = "123.5";
  t.write_rating = "100.0";
  t.total_rating = "223.5";
  const std::string table = ResultsTable(t, PanelLabels{}, "08/12/26 10:00:00");
  EXPECT_EQ(table,
            "             Read              Write\n"
            "Sequential   123.46 MB/s       100.00 MB/s\n"
            "4K           0.00 MB/s         0.00 MB/s\n"
            "512K         0.00 MB/s         0.00 MB/s\n"
            "64 X 4K      0.00 MB/s         0.00 MB/s\n"
            "Access time  0.1000 ms.        ------\n"
            "Benchmark    123.5             100.0   (223.5)\n"
            "08/12/26 10:00:00\n");
}

TEST(ResultsJson, CarriesTheTenRatesUnderTheirKeys) {
  BenchResults r;
  r.SR = 1234.5;
  r.RW4KB64QD = 0.25;
  const std::string json = ResultsJson(r, 1028, 2, nullptr);
  EXPECT_NE(json.find("\"m_test_id\": 1028,"), std::string::npos);
  EXPECT_NE(json.find("\"test_time\": 2,"), std::string::npos);
  EXPECT_NE(json.find("\"SR\": 1234.500000,"), std::string::npos);
  EXPECT_NE(json.find("\"RW4KB64QD\": 0.250000,"), std::string::npos);
  EXPECT_NE(json.find("\"RW\": 0.000000\n}"), std::string::npos);
  for (const char* key : {"SW", "RR4KB", "RW4KB", "RR512KB", "RW512KB", "RR4KB64QD", "RR"}) {
    EXPECT_NE(json.find("\"" + std::string(key) + "\": "), std::string::npos) << key;
  }
}

TEST(ResultsJson, DescribesTheDriveWithEscapedTexts) {
  DriveEntry drive;
  drive.Root = "/mnt/usb";
  drive.Model = "Fast \"Pro\" \\ SSD";
  drive.Summary = "line 1\nline 2";
  drive.FreeBytes = ~0ull;  // the space query failed
  drive.TotalBytes = 1000;
  const std::string json = ResultsJson(BenchResults{}, 6, 0, &drive);
  EXPECT_NE(json.find("\"Model\": \"Fast \\\"Pro\\\" \\\\ SSD\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"Summary\": \"line 1\\u000aline 2\""), std::string::npos);
  EXPECT_NE(json.find("\"FreeBytes\": -1,"), std::string::npos);
  EXPECT_NE(json.find("\"TotalBytes\": 1000\n  }\n}\n"), std::string::npos);
}

}  // namespace
}  // namespace korvanel::cli
