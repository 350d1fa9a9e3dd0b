#pragma once
// The five tests and the ten rates they measure, said once: what each test transfers, and the key
// each rate is reported under. Whatever runs, shows, reports or writes out the rates loops over
// this table rather than naming them again.

#include <cstdint>

#include "engine/bench_results.h"
#include "engine/run_parameters.h"

namespace korvanel {

// One rate: the key the comparison report (and the JSON) sends it under, and where the results
// keep it.
struct ReportedRate {
  const char* key;
  ResultField field;
};

// One test: its requests, and the rate it measures reading, then writing.
struct TestRates {
  TestId test;
  const char* name;       // the name scripts read: "sequential", "random_4k", ...
  uint32_t block_bytes;
  uint32_t queue_depth;   // requests in flight
  ReportedRate read;
  ReportedRate write;

  const ReportedRate& rate(bool writing) const { return writing ? write : read; }
};

// In the order a full run measures them. A full run takes the access time from the 4 KB rates and
// measures it only when the 4 KB write rate came out as 0.
inline constexpr TestRates kRateTable[] = {
    {kTestSequential, "sequential", 1u << 20, 1, {"SR", &BenchResults::SR}, {"SW", &BenchResults::SW}},
    {kTestRandom4K, "random_4k", 4u << 10, 1, {"RR4KB", &BenchResults::RR4KB}, {"RW4KB", &BenchResults::RW4KB}},
    {kTestRandom512K, "random_512k", 512u << 10, 1,
     {"RR512KB", &BenchResults::RR512KB}, {"RW512KB", &BenchResults::RW512KB}},
    {kTestQueued4K, "queued_4k", 4u << 10, 64,
     {"RR4KB64QD", &BenchResults::RR4KB64QD}, {"RW4KB64QD", &BenchResults::RW4KB64QD}},
    {kTestAccessTime, "access_time", 4u << 10, 1, {"RR", &BenchResults::RR}, {"RW", &BenchResults::RW}},
};

// The access time is told from its own two rates; the ratings and a full run's sequence leave it out.
constexpr bool IsAccessTime(const TestRates& test) { return test.test == kTestAccessTime; }

// The entry of test `id`; null for kTestAll and for an id that is no test.
constexpr const TestRates* FindTestRates(int id) {
  for (const TestRates& test : kRateTable) {
    if (test.test == id) return &test;
  }
  return nullptr;
}

}  // namespace korvanel
