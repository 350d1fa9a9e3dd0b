#include "engine/run_parameters.h"

#include <cctype>

#include "engine/rate_table.h"

namespace korvanel {

bool IsTestId(int id) { return id == kTestAll || FindTestRates(id) != nullptr; }

RunParameters ParametersForTestTime(int test_time_index, const RunParameters& current) {
  switch (test_time_index) {
    case 0: return {1, 600, "100"};
    case 1: return {2, 1200, "200"};
    case 2: return {2, 2400, "500"};
    case 3: return {4, 4800, "1000"};
    default: {
      RunParameters unchanged = current;
      unchanged.pass_count = 2;
      return unchanged;
    }
  }
}

uint32_t TestSizeMiB(const std::string& test_size_mb) {
  uint32_t value = 0;
  for (char c : test_size_mb) {
    if (!std::isdigit(static_cast<unsigned char>(c))) break;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  return value;
}

int PlannedWindows(int test_id, int pass_count) {
  const int per_test = 2 * (pass_count + 1);  // two directions, warm-up pass included
  if (test_id != kTestAll) return per_test;
  int tests = 0;
  for (const TestRates& test : kRateTable) tests += IsAccessTime(test) ? 0 : 1;
  return tests * per_test;
}

}  // namespace korvanel
