#include "ui/panel/value_tooltips.h"

#include <cstdio>

#include "results/locale_number.h"
#include "results/measured_values.h"

namespace korvanel::panel {
namespace {

constexpr const char* kUnit =
    "MB/s here means KiB per millisecond: 1 MB/s = 1,024,000 bytes per second (1.024 MB/s, 0.977 MiB/s)";
constexpr const char* kAccessTime = "Access time: how long one 4 KiB request takes, 4.096 ms divided by the 4K rate";
constexpr uint32_t k4KiB = 4096;

// What a rate's value measures, by its control.
const char* WhatItMeasures(int control_id) {
  switch (control_id) {
    case kSeqReadControl: return "Sequential read, 1 MiB blocks";
    case kSeqWriteControl: return "Sequential write, 1 MiB blocks";
    case kRnd4ReadControl: return "Random 4 KiB reads, one at a time";
    case kRnd4WriteControl: return "Random 4 KiB writes, one at a time";
    case kRnd512ReadControl: return "Random 512 KiB reads";
    case kRnd512WriteControl: return "Random 512 KiB writes";
    case kQdReadControl: return "Random 4 KiB reads, 64 requests in flight";
    case kQdWriteControl: return "Random 4 KiB writes, 64 requests in flight";
    default: return "";
  }
}

// "9553 IOPS (4 KiB requests per second)" for a measured 4 KB rate; empty otherwise.
std::string Iops(double rate) {
  if (rate == 0) return {};
  char plain[32];
  std::snprintf(plain, sizeof plain, "%.0f", RequestsPerSecond(rate, k4KiB));
  return "\n" + FormatLocaleNumber(plain, 0) + " IOPS (4 KiB requests per second)";
}

std::string ValueTip(const ValueSlot& slot, double rate) {
  const std::string iops = FindTestRates(slot.test)->block_bytes == k4KiB ? Iops(rate) : "";
  if (slot.test == kTestAccessTime) return kAccessTime + iops;
  return std::string(WhatItMeasures(slot.control_id)) + "\n" + kUnit + iops;
}

}  // namespace

std::vector<ControlText> ValueTooltips(const BenchResults& r) {
  const char* complete = "; shown only when all four rates were measured";
  std::vector<ControlText> tips;
  for (const ValueSlot& slot : kValueSlots) tips.push_back({slot.control_id, ValueTip(slot, SlotRate(slot, r))});
  tips.push_back({kReadRatingControl,
                  std::string("Read rating: Sequential + (4K + 512K + 64 X 4K) / 3 of the Read column") + complete});
  tips.push_back({kWriteRatingControl,
                  std::string("Write rating: Sequential + (4K + 512K + 64 X 4K) / 3 of the Write column") + complete});
  tips.push_back({kTotalRatingControl, "Total rating: read rating + write rating"});
  return tips;
}

}  // namespace korvanel::panel
