#pragma once
// What a run measured, as the panel and the command line show it. The engine keeps 0 for a rate it
// did not measure; shown, such a value is "-", and in JSON it is null. A rating is a sum over four
// rates and is given only when all four were measured, so a stopped run or a single test never
// shows a rating that cannot be compared with a full run's.

#include <cstdint>
#include <optional>

#include "engine/bench_results.h"
#include "platform/locale.h"
#include "results/value_texts.h"

namespace korvanel {

// What the panel and the table show for a value or rating the run did not measure.
inline constexpr const char* kNotMeasuredText = "-";

// The rate in KiB/ms, absent when the run did not measure it.
std::optional<double> MeasuredRate(double rate);

// The 4 KB access time in ms behind a 4 KB rate; absent when the rate was not measured.
std::optional<double> AccessTimeMs(double rate_4k);

// Whether any of the ten rates is absent (and so at least one value or rating).
bool AnythingUnmeasured(const BenchResults& results);

struct MeasuredRatings {
  std::optional<double> read;
  std::optional<double> write;
  std::optional<double> total;  // only when both sides are complete
};
MeasuredRatings RatingsOfMeasured(const BenchResults& results);

// The value texts of `results`, with "-" for every value the run did not measure and every rating
// that is not complete.
ValueTexts ShownValueTexts(const BenchResults& results,
                           const platform::UserLocale& locale = platform::SystemLocale());

// KiB per millisecond in bytes per second (1 KiB/ms = 1,024,000 B/s) and in requests per second.
double BytesPerSecond(double kib_per_ms);
double RequestsPerSecond(double kib_per_ms, uint32_t block_bytes);

}  // namespace korvanel
