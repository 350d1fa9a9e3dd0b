#include "ui/panel/value_tooltips.h"

#include <cstdio>

#include "results/locale_number.h"
#include "results/measured_values.h"

namespace korvanel::panel {
namespace {

constexpr const char* kUnit =
    "MB/s here means KiB per millisecond: 1 MB/s = 1,024,000 bytes per second (1.024 MB/s, 0.977 MiB/s)";
constexpr uint32_t k4KiB = 4096;

// "9553 IOPS (4 KiB requests per second)" for a measured 4 KB rate; empty otherwise.
std::string Iops(double rate) {
  if (rate == 0) return {};
  char plain[32];
  std::snprintf(plain, sizeof plain, "%.0f", RequestsPerSecond(rate, k4KiB));
  return "\n" + FormatLocaleNumber(plain, 0) + " IOPS (4 KiB requests per second)";
}

std::string RateTip(const char* what, double rate, bool four_kib) {
  return std::string(what) + "\n" + kUnit + (four_kib ? Iops(rate) : "");
}

}  // namespace

std::vector<ControlText> ValueTooltips(const BenchResults& r) {
  const char* access = "Access time: how long one 4 KiB request takes, 4.096 ms divided by the 4K rate";
  const char* complete = "; shown only when all four rates were measured";
  return {
      {kSeqReadControl, RateTip("Sequential read, 1 MiB blocks", r.SR, false)},
      {kSeqWriteControl, RateTip("Sequential write, 1 MiB blocks", r.SW, false)},
      {kRnd4ReadControl, RateTip("Random 4 KiB reads, one at a time", r.RR4KB, true)},
      {kRnd4WriteControl, RateTip("Random 4 KiB writes, one at a time", r.RW4KB, true)},
      {kRnd512ReadControl, RateTip("Random 512 KiB reads", r.RR512KB, false)},
      {kRnd512WriteControl, RateTip("Random 512 KiB writes", r.RW512KB, false)},
      {kQdReadControl, RateTip("Random 4 KiB reads, 64 requests in flight", r.RR4KB64QD, true)},
      {kQdWriteControl, RateTip("Random 4 KiB writes, 64 requests in flight", r.RW4KB64QD, true)},
      {kAccessReadControl, std::string(access) + Iops(r.RR)},
      {kAccessWriteControl, std::string(access) + Iops(r.RW)},
      {kReadRatingControl, std::string("Read rating: Sequential + (4K + 512K + 64 X 4K) / 3 of the Read column") + complete},
      {kWriteRatingControl, std::string("Write rating: Sequential + (4K + 512K + 64 X 4K) / 3 of the Write column") + complete},
      {kTotalRatingControl, "Total rating: read rating + write rating"},
  };
}

}  // namespace korvanel::panel
