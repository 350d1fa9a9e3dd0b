// The JSON scripts read: the report keys where they always were, null for what was not measured,
// how the run ended, and numbers that no locale can change. The layout as a whole is checked
// against the schema by cli_terminal_test.py on real runs.
#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <locale>

#include "app/cli/json_writer.h"
#include "app/cli/result_json.h"
#include "common/testing/scratch.h"
#include "platform/locale.h"

namespace korvanel::cli {
namespace {

RunRecord StoppedRun() {
  RunRecord record;
  record.state = RunState::kStopped;
  record.program = "Korvanel 1.84";
  record.test_id = 6;
  record.test_time = 3;
  record.params = ParametersForTestTime(3, RunParameters{});
  record.start_time = "2026-08-12T10:00:00+02:00";
  record.end_time = "2026-08-12T10:01:00+02:00";
  record.directory = "/mnt/usb/data";
  record.results.SR = 1234.5;
  record.results.RR4KB = 0.25;
  return record;
}

TEST(ResultsJson, KeepsTheReportKeysFirstAndNullsWhatWasNotMeasured) {
  const std::string json = RunJson(StoppedRun());
  // Line for line as scripts have read it, except that an unmeasured rate is null, not 0.
  EXPECT_EQ(json.substr(0, json.find("\n  \"drive\"")),
            "{\n"
            "  \"m_test_id\": 6,\n"
            "  \"test_time\": 3,\n"
            "  \"SR\": 1234.500000,\n"
            "  \"SW\": null,\n"
            "  \"RR4KB\": 0.250000,\n"
            "  \"RW4KB\": null,\n"
            "  \"RR512KB\": null,\n"
            "  \"RW512KB\": null,\n"
            "  \"RR4KB64QD\": null,\n"
            "  \"RW4KB64QD\": null,\n"
            "  \"RR\": null,\n"
            "  \"RW\": null,");
  EXPECT_NE(json.find("\"drive\": null,"), std::string::npos);
  EXPECT_NE(json.find("\"status\": \"stopped\",\n  \"error\": null,"), std::string::npos);
  EXPECT_NE(json.find("\"file_bytes\": 1048576000,\n    \"window_ms\": 4800,\n    \"measured_passes\": 4"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"program_version\": \"1.84\""), std::string::npos);
}

TEST(ResultsJson, ConvertsEveryRateAndGivesRatingsOnlyWhenComplete) {
  const std::string json = RunJson(StoppedRun());
  // 1234.5 KiB/ms is 1,264,128,000 bytes per second; 0.25 KiB/ms of 4 KB requests is 62.5 IOPS.
  EXPECT_NE(json.find("\"key\": \"SR\",\n      \"test\": \"sequential\",\n      \"direction\": \"read\",\n"
                      "      \"block_bytes\": 1048576,\n      \"queue_depth\": 1,\n      \"kib_per_ms\": 1234.500000,\n"
                      "      \"bytes_per_second\": 1264128000\n"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"kib_per_ms\": 0.250000,\n      \"bytes_per_second\": 256000,\n      \"iops\": 62.5\n"),
            std::string::npos);
  EXPECT_NE(json.find("\"kib_per_ms\": null,\n      \"bytes_per_second\": null,\n      \"iops\": null\n"),
            std::string::npos);
  EXPECT_NE(json.find("\"access_time_ms\": {\n    \"read\": null,"), std::string::npos);
  EXPECT_NE(json.find("\"ratings\": {\n    \"read\": null,\n    \"write\": null,\n    \"total\": null\n  }\n}\n"),
            std::string::npos);
}

TEST(ResultsJson, AFailedRunCarriesItsErrorAndTheDrive) {
  RunRecord record = StoppedRun();
  record.state = RunState::kFailed;
  record.error = "File Create Error\n0x00000001:Operation not permitted";
  record.what_failed = "creating the test directory /sys/Korvanel0000ABCD";
  DriveEntry drive;
  drive.Root = "/mnt/usb";
  drive.Model = "Fast \"Pro\" \\ SSD";
  drive.Device = "/dev/sdb1";
  drive.FileSystem = "exfat";
  drive.FreeBytes = ~0ull;  // the space query failed
  drive.Kind = DriveKind::kRemovable;
  record.drive = drive;
  const std::string json = RunJson(record);
  EXPECT_NE(json.find("\"status\": \"failed\",\n  \"error\": {\n"
                      "    \"message\": \"File Create Error\\u000a0x00000001:Operation not permitted\",\n"
                      "    \"what_failed\": \"creating the test directory /sys/Korvanel0000ABCD\"\n  },"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"Model\": \"Fast \\\"Pro\\\" \\\\ SSD\""), std::string::npos);
  EXPECT_NE(json.find("\"FreeBytes\": null,"), std::string::npos);
  EXPECT_NE(json.find("\"Kind\": \"removable\""), std::string::npos);
  EXPECT_NE(json.find("\"target\": {\n    \"directory\": \"/mnt/usb/data\",\n    \"mount_point\": \"/mnt/usb\",\n"
                      "    \"device\": \"/dev/sdb1\",\n    \"file_system\": \"exfat\"\n  }"),
            std::string::npos)
      << json;
}

TEST(ResultsJson, DriveListNumbersTheDrivesAsDriveNTakesThem) {
  DriveEntry first, second;
  first.Root = "/";
  second.Root = "/dev/shm";
  second.Kind = DriveKind::kRamDisk;
  const std::string json = DriveListJson({first, second}, "Korvanel 1.84");
  EXPECT_NE(json.find("\"drives\": [\n    {\n      \"index\": 0,\n      \"Root\": \"/\","), std::string::npos) << json;
  EXPECT_NE(json.find("\"index\": 1,\n      \"Root\": \"/dev/shm\","), std::string::npos);
  EXPECT_NE(json.find("\"Kind\": \"ram_disk\""), std::string::npos);
  EXPECT_NE(DriveListJson({}, "Korvanel 1.84").find("\"drives\": []\n}"), std::string::npos);
}

TEST(JsonWriter, EscapesTextAndKeepsNumbersFreeOfTheLocale) {
  // A GUI toolkit may set a global locale with a decimal comma; JSON must not follow it.
  const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
  JsonWriter json;
  json.BeginObject().Key("text").String("tab\there \"q\" \\ é\x7f").Key("n").Number(1234.5, 2);
  json.Key("inf").Number(std::numeric_limits<double>::infinity(), 2).Key("empty").BeginArray().EndArray().EndObject();
  std::setlocale(LC_ALL, "C");
  if (german == nullptr) GTEST_LOG_(INFO) << "de_DE.UTF-8 missing: the locale part was not exercised";
  EXPECT_EQ(json.Text(),
            "{\n  \"text\": \"tab\\u0009here \\\"q\\\" \\\\ é\\u007f\",\n  \"n\": 1234.50,\n  \"inf\": null,\n"
            "  \"empty\": []\n}\n");
}

TEST(JsonWriter, WritesValidUtf8WhateverBytesANameHolds) {
  // Names from the file system are bytes: FF FE, a cut sequence, an overlong "/", a UTF-16
  // surrogate in UTF-8 form, C1 controls. Each invalid byte becomes U+FFFD (written as UTF-8, as
  // "\uFFFD" here is by the compiler); valid text stays.
  const std::pair<std::string, std::string> cases[] = {
      {"drive-\xFF\xFE", "\"drive-\uFFFD\uFFFD\""},
      {"cut\xE6\x97", "\"cut\uFFFD\uFFFD\""},
      {"\xC0\xAF", "\"\uFFFD\uFFFD\""},
      {"\xED\xA0\x80x", "\"\uFFFD\uFFFD\uFFFDx\""},
      {"\xF4\x90\x80\x80", "\"\uFFFD\uFFFD\uFFFD\uFFFD\""},
      {"c1\xC2\x9B", "\"c1\\u009b\""},
      {"日本 ü 😀", "\"日本 ü 😀\""},
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(JsonString(name), expected);
  }
}

TEST(IsoLocalTime, WritesTheZoneOffsetWithAColon) {
  const std::time_t noon_utc = 1786536000;  // 2026-08-12 12:00:00 UTC
  {
    testing::ScopedEnv zone("TZ", "UTC0");
    EXPECT_EQ(IsoLocalTime(noon_utc), "2026-08-12T12:00:00+00:00");
  }
  {
    testing::ScopedEnv zone("TZ", "IST-5:30");
    EXPECT_EQ(IsoLocalTime(noon_utc), "2026-08-12T17:30:00+05:30");
  }
  {
    testing::ScopedEnv zone("TZ", "EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(IsoLocalTime(noon_utc), "2026-08-12T08:00:00-04:00");
  }
}

}  // namespace
}  // namespace korvanel::cli
