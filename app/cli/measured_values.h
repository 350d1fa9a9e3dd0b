#pragma once
// What a run measured, as the command line reports it. The engine keeps 0 for a rate it did not
// measure; here such a value is absent: "-" in the table (results/measured_values.h, shared with the
// panel) and null in JSON.

#include <cstdint>
#include <optional>

#include "engine/bench_results.h"
#include "engine/results_store.h"
#include "results/measured_values.h"

namespace korvanel::cli {

// One of the ten rates, described for scripts.
struct RateKey {
  const char* key;        // the report key, which is also the JSON key
  ResultField field;
  const char* test;       // "sequential", "random_4k", "random_512k", "queued_4k", "access_time"
  bool write;
  uint32_t block_bytes;
  int queue_depth;        // requests in flight
};

// In the order the JSON has always listed them.
inline constexpr RateKey kRateKeys[] = {
    {"SR", &BenchResults::SR, "sequential", false, 1u << 20, 1},
    {"SW", &BenchResults::SW, "sequential", true, 1u << 20, 1},
    {"RR4KB", &BenchResults::RR4KB, "random_4k", false, 4096, 1},
    {"RW4KB", &BenchResults::RW4KB, "random_4k", true, 4096, 1},
    {"RR512KB", &BenchResults::RR512KB, "random_512k", false, 512u << 10, 1},
    {"RW512KB", &BenchResults::RW512KB, "random_512k", true, 512u << 10, 1},
    {"RR4KB64QD", &BenchResults::RR4KB64QD, "queued_4k", false, 4096, 64},
    {"RW4KB64QD", &BenchResults::RW4KB64QD, "queued_4k", true, 4096, 64},
    {"RR", &BenchResults::RR, "access_time", false, 4096, 1},
    {"RW", &BenchResults::RW, "access_time", true, 4096, 1},
};

// The rate in KiB/ms, absent when the run did not measure it.
std::optional<double> MeasuredRate(double rate);

// The 4 KB access time in ms behind a 4 KB rate; absent when the rate was not measured.
std::optional<double> AccessTimeMs(double rate_4k);

// Whether any value or rating is absent.
bool AnythingUnmeasured(const BenchResults& results);

}  // namespace korvanel::cli
