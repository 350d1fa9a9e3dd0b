#pragma once
// Everything the comparison report page is made from; the caller gathers it from the engine, the
// drive table, the language table and the system.

#include <cstdint>
#include <string>

#include "drives/drive_entry.h"
#include "engine/bench_results.h"

namespace korvanel {

struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  std::string service_pack;  // empty when there is none
};

struct ComparisonReportInput {
  DriveEntry drive;           // the drive selected in the drive list
  BenchResults results;       // 0 for every rate that was not measured
  int test_time = 1;          // the test-length selection, 0..3
  int test_id = 1;            // control id of the last started run; 1 before any run
  std::string program;        // program name and version, for example "Korvanel 1.84"
  OsVersion os;
  std::string site_address;   // base address of the comparison site: an http(s) URL ending in "/"
};

}  // namespace korvanel
