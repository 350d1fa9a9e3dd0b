#include "results/measured_values.h"

#include <initializer_list>

#include "results/ratings.h"

namespace korvanel {
namespace {

using RateField = double BenchResults::*;

bool AllMeasured(const BenchResults& r, std::initializer_list<RateField> fields) {
  for (RateField field : fields) {
    if (r.*field == 0) return false;
  }
  return true;
}

}  // namespace

MeasuredRatings RatingsOfMeasured(const BenchResults& r) {
  const Ratings all = ComputeRatings(r);
  MeasuredRatings measured;
  if (AllMeasured(r, {&BenchResults::SR, &BenchResults::RR4KB, &BenchResults::RR512KB, &BenchResults::RR4KB64QD})) {
    measured.read = all.read;
  }
  if (AllMeasured(r, {&BenchResults::SW, &BenchResults::RW4KB, &BenchResults::RW512KB, &BenchResults::RW4KB64QD})) {
    measured.write = all.write;
  }
  if (measured.read && measured.write) measured.total = all.total;
  return measured;
}

ValueTexts ShownValueTexts(const BenchResults& r, const platform::UserLocale& locale) {
  ValueTexts texts = FormatValueTexts(r, locale);
  const std::pair<std::string*, double> values[] = {
      {&texts.seq_read, r.SR},       {&texts.seq_write, r.SW},       {&texts.rnd4_read, r.RR4KB},
      {&texts.rnd4_write, r.RW4KB},  {&texts.rnd512_read, r.RR512KB}, {&texts.rnd512_write, r.RW512KB},
      {&texts.qd_read, r.RR4KB64QD}, {&texts.qd_write, r.RW4KB64QD},  {&texts.access_read, r.RR},
      {&texts.access_write, r.RW},
  };
  for (const auto& [text, value] : values) {
    if (value == 0) *text = kNotMeasuredText;
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
