#pragma once
// Everything korvanel-cli reports about one run: how it ended, what it measured, on what and when.

#include <optional>
#include <string>

#include "drives/drive_entry.h"
#include "engine/bench_results.h"
#include "engine/run_parameters.h"

namespace korvanel::cli {

enum class RunState {
  kCompleted,  // every planned test ran
  kStopped,    // a stop request ended it early; what it measured so far stands
  kFailed,     // the engine reported an error
};

// "completed", "stopped" or "failed": the JSON's names.
const char* RunStateName(RunState state);

struct RunRecord {
  RunState state = RunState::kCompleted;
  std::string error;        // the error as the engine reported it (lines joined by "\n"); failed only
  std::string what_failed;  // what was being done on which path when it failed
  std::string program;      // name and version, "Korvanel 1.84"
  int test_id = 6;
  int test_time = 1;        // the test length, 0..3
  RunParameters params;     // of that length
  std::string start_time;   // ISO 8601 local time with the zone's offset
  std::string end_time;
  std::string directory;    // where the test directory was made
  std::optional<DriveEntry> drive;  // the drive holding `directory`, when the drive list knows it
  BenchResults results;
};

}  // namespace korvanel::cli
