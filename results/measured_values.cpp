#include "results/measured_values.h"

#include "results/ratings.h"

namespace korvanel {
namespace {

// Whether all four rates a rating sums were measured, for reading or for writing.
bool RatingComplete(const BenchResults& r, bool writing) {
  for (const TestRates& test : kRateTable) {
    if (!IsAccessTime(test) && r.*test.rate(writing).field == 0) return false;
  }
  return true;
}

}  // namespace

std::optional<double> MeasuredRate(double rate) {
  if (rate == 0) return std::nullopt;
  return rate;
}

std::optional<double> AccessTimeMs(double rate_4k) {
  if (rate_4k == 0) return std::nullopt;
  return 4.096 / rate_4k;  // 4 KB at `rate_4k` KiB/ms
}

bool AnythingUnmeasured(const BenchResults& r) {
  for (const TestRates& test : kRateTable) {
    if (r.*test.read.field == 0 || r.*test.write.field == 0) return true;
  }
  return false;
}

MeasuredRatings RatingsOfMeasured(const BenchResults& r) {
  const Ratings all = ComputeRatings(r);
  MeasuredRatings measured;
  if (RatingComplete(r, false)) measured.read = all.read;
  if (RatingComplete(r, true)) measured.write = all.write;
  if (measured.read && measured.write) measured.total = all.total;
  return measured;
}

ValueTexts ShownValueTexts(const BenchResults& r, const platform::UserLocale& locale) {
  ValueTexts texts = FormatValueTexts(r, locale);
  for (const ValueSlot& slot : kValueSlots) {
    if (!MeasuredRate(SlotRate(slot, r))) texts.*slot.text = kNotMeasuredText;
  }
  const MeasuredRatings ratings = RatingsOfMeasured(r);
  if (!ratings.read) texts.read_rating = kNotMeasuredText;
  if (!ratings.write) texts.write_rating = kNotMeasuredText;
  if (!ratings.total) texts.total_rating = kNotMeasuredText;
  return texts;
}

double BytesPerSecond(double kib_per_ms) { return kib_per_ms * 1024.0 * 1000.0; }

double RequestsPerSecond(double kib_per_ms, uint32_t block_bytes) {
  return BytesPerSecond(kib_per_ms) / block_bytes;
}

}  // namespace korvanel
