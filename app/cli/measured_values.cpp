#include "app/cli/measured_values.h"

namespace korvanel::cli {

std::optional<double> MeasuredRate(double rate) {
  if (rate == 0) return std::nullopt;
  return rate;
}

std::optional<double> AccessTimeMs(double rate_4k) {
  if (rate_4k == 0) return std::nullopt;
  return 4.096 / rate_4k;  // 4 KB at `rate_4k` KiB/ms, as the panel computes it
}

bool AnythingUnmeasured(const BenchResults& r) {
  for (const RateKey& rate : kRateKeys) {
    if (r.*rate.field == 0) return true;
  }
  return false;
}

}  // namespace korvanel::cli
