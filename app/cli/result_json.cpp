#include "app/cli/result_json.h"

#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/cli/cli_options.h"
#include "app/cli/json_writer.h"
#include "results/measured_values.h"

namespace korvanel::cli {
namespace {

const char* KindName(DriveKind kind) {
  switch (kind) {
    case DriveKind::kFixed: return "fixed";
    case DriveKind::kRemovable: return "removable";
    case DriveKind::kRemote: return "remote";
    case DriveKind::kRamDisk: return "ram_disk";
  }
  return "fixed";
}

const char* LengthName(int test_time) {
  static const char* const kNames[] = {"quick", "short", "long", "very_long"};
  return test_time >= 0 && test_time < 4 ? kNames[test_time] : "custom";
}

// The members of a drive object; the caller opens and closes it.
void WriteDriveMembers(JsonWriter& json, const DriveEntry& drive) {
  const std::pair<const char*, const std::string*> texts[] = {
      {"Root", &drive.Root},           {"Model", &drive.Model},         {"SerialNumber", &drive.SerialNumber},
      {"Interface", &drive.Interface}, {"Driver", &drive.Driver},       {"FileSystem", &drive.FileSystem},
      {"VolumeLabel", &drive.VolumeLabel}, {"SizeText", &drive.SizeText}, {"Device", &drive.Device},
      {"Summary", &drive.Summary},
  };
  for (const auto& [key, value] : texts) json.Key(key).String(*value);
  // Free bytes are all ones when the space query failed: unknown.
  json.Key("FreeBytes");
  if (drive.FreeBytes == ~0ull) json.Null(); else json.Integer(static_cast<int64_t>(drive.FreeBytes));
  json.Key("TotalBytes").Integer(static_cast<int64_t>(drive.TotalBytes));
  json.Key("Kind").String(KindName(drive.Kind));
  json.Key("ReadOnly").Bool(drive.ReadOnly);
}

void WriteError(JsonWriter& json, const RunRecord& record) {
  json.Key("error");
  if (record.state != RunState::kFailed) {
    json.Null();
    return;
  }
  json.BeginObject();
  json.Key("message").String(record.error);
  json.Key("what_failed").String(record.what_failed);
  json.EndObject();
}

void WriteTarget(JsonWriter& json, const RunRecord& record) {
  json.Key("target").BeginObject();
  json.Key("directory").String(record.directory);
  const auto text_or_null = [&](const char* key, const std::string* value) {
    json.Key(key);
    if (value && !value->empty()) json.String(*value); else json.Null();
  };
  const DriveEntry* drive = record.drive ? &*record.drive : nullptr;
  text_or_null("mount_point", drive ? &drive->Root : nullptr);
  text_or_null("device", drive ? &drive->Device : nullptr);
  text_or_null("file_system", drive ? &drive->FileSystem : nullptr);
  json.EndObject();
}

void WriteRates(JsonWriter& json, const BenchResults& results) {
  json.Key("rate_unit").String("KiB/ms");
  json.Key("rate_unit_text")
      .String("KiB per millisecond: 1 KiB/ms = 1,024,000 bytes per second = 1.024 MB/s = 0.977 MiB/s; "
              "the panel shows it as MB/s");
  json.Key("rates").BeginArray();
  for (const TestRates& test : kRateTable) {
    for (bool writing : {false, true}) {
      const std::optional<double> value = MeasuredRate(results.*test.rate(writing).field);
      json.BeginObject();
      json.Key("key").String(test.rate(writing).key);
      json.Key("test").String(test.name);
      json.Key("direction").String(writing ? "write" : "read");
      json.Key("block_bytes").Integer(test.block_bytes);
      json.Key("queue_depth").Integer(test.queue_depth);
      json.Key("kib_per_ms").Number(value, 6);
      json.Key("bytes_per_second");
      if (value) json.Integer(std::llround(BytesPerSecond(*value))); else json.Null();
      if (test.block_bytes == 4096) {
        json.Key("iops").Number(value ? std::optional(RequestsPerSecond(*value, test.block_bytes)) : std::nullopt, 1);
      }
      json.EndObject();
    }
  }
  json.EndArray();
}

}  // namespace

std::string ProgramVersion(const std::string& program) {
  const size_t blank = program.rfind(' ');
  return blank == std::string::npos ? program : program.substr(blank + 1);
}

std::string IsoLocalTime(std::time_t when) {
  // The C library's local zone (TZ when set, else the system's) on every system; the user locale's
  // patterns are written in each system's own notation and know no fixed ISO form.
  tzset();
  const std::tm* local_now = std::localtime(&when);
  if (local_now == nullptr) return {};
  const std::tm local = *local_now;
  const std::tm* utc_now = std::gmtime(&when);
  if (utc_now == nullptr) return {};
  const std::tm utc = *utc_now;
  // At most a day apart: the year decides across New Year, else the day of the year.
  const int days = local.tm_year != utc.tm_year ? (local.tm_year < utc.tm_year ? -1 : 1) : local.tm_yday - utc.tm_yday;
  const int offset = days * 1440 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, offset < 0 ? '-' : '+', std::abs(offset) / 60,
                std::abs(offset) % 60);
  return text;
}

std::string RunJson(const RunRecord& record) {
  const BenchResults& r = record.results;
  JsonWriter json;
  json.BeginObject();
  json.Key("m_test_id").Integer(record.test_id);
  json.Key("test_time").Integer(record.test_time);
  for (const TestRates& test : kRateTable) {
    for (const ReportedRate& rate : {test.read, test.write}) json.Key(rate.key).Number(MeasuredRate(r.*rate.field), 6);
  }
  json.Key("drive");
  if (record.drive) {
    json.BeginObject();
    WriteDriveMembers(json, *record.drive);
    json.EndObject();
  } else {
    json.Null();
  }

  json.Key("format_version").Integer(kJsonFormatVersion);
  json.Key("program").String(record.program);
  json.Key("program_version").String(ProgramVersion(record.program));
  json.Key("status").String(RunStateName(record.state));
  WriteError(json, record);
  json.Key("start_time").String(record.start_time);
  json.Key("end_time").String(record.end_time);
  json.Key("test").BeginObject();
  json.Key("id").Integer(record.test_id);
  json.Key("name").String(TestNameForId(record.test_id));
  json.EndObject();
  json.Key("length").BeginObject();
  json.Key("index").Integer(record.test_time);
  json.Key("name").String(LengthName(record.test_time));
  json.Key("file_bytes").Integer(static_cast<int64_t>(TestSizeMiB(record.params.test_size_mb)) << 20);
  json.Key("window_ms").Integer(record.params.window_ms);
  json.Key("measured_passes").Integer(record.params.pass_count);
  json.EndObject();
  WriteTarget(json, record);
  WriteRates(json, r);
  json.Key("access_time_ms").BeginObject();
  json.Key("read").Number(AccessTimeMs(r.RR), 6);
  json.Key("write").Number(AccessTimeMs(r.RW), 6);
  json.EndObject();
  const MeasuredRatings ratings = RatingsOfMeasured(r);
  json.Key("ratings").BeginObject();
  json.Key("read").Number(ratings.read, 6);
  json.Key("write").Number(ratings.write, 6);
  json.Key("total").Number(ratings.total, 6);
  json.EndObject();
  json.EndObject();
  return json.Text();
}

std::string DriveListJson(const std::vector<DriveEntry>& drives, const std::string& program) {
  JsonWriter json;
  json.BeginObject();
  json.Key("format_version").Integer(kJsonFormatVersion);
  json.Key("program").String(program);
  json.Key("program_version").String(ProgramVersion(program));
  json.Key("drives").BeginArray();
  for (size_t i = 0; i < drives.size(); ++i) {
    json.BeginObject();
    json.Key("index").Integer(static_cast<int64_t>(i));
    WriteDriveMembers(json, drives[i]);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  return json.Text();
}

const char* RunStateName(RunState state) {
  switch (state) {
    case RunState::kCompleted: return "completed";
    case RunState::kStopped: return "stopped";
    case RunState::kFailed: return "failed";
  }
  return "failed";
}

}  // namespace korvanel::cli
