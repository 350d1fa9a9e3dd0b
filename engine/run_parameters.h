#pragma once
// How long and on how much data a run measures, chosen by the test-length selection.

#include <cstdint>
#include <string>

namespace korvanel {

// The panel control ids that start a run; the comparison report sends the id as m_test_id.
enum TestId {
  kTestAll = 6,
  kTestSequential = 1028,
  kTestRandom4K = 1029,
  kTestQueued4K = 1030,
  kTestAccessTime = 1032,
  kTestRandom512K = 1034,
};

bool IsTestId(int id);

struct RunParameters {
  int pass_count = 2;              // measured passes per direction (a warm-up pass comes first)
  int window_ms = 1500;            // length of every pass
  std::string test_size_mb = "100";  // test file size in MiB; its leading digits count
};

// The parameters for test length 0..3 (quick, short, long, very long). Any other index sets two
// measured passes and keeps the rest of `current`.
RunParameters ParametersForTestTime(int test_time_index, const RunParameters& current);

// The leading decimal digits of `test_size_mb` as a number (0 when there are none).
uint32_t TestSizeMiB(const std::string& test_size_mb);

// How many time windows a run of `test_id` opens: what a progress display counts down. The
// access-time rerun of a full run, made only when the 4 KB write rate came out as 0, is not counted.
int PlannedWindows(int test_id, int pass_count);

}  // namespace korvanel
