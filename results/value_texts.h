#pragma once
// The thirteen value texts of the results panel, named and in the order the panel rewrites them.

#include <array>
#include <string>
#include <vector>

#include "engine/bench_results.h"
#include "engine/rate_table.h"
#include "platform/locale.h"

namespace korvanel {

// Panel control ids of the value fields.
inline constexpr int kSeqReadControl = 32791;
inline constexpr int kRnd4ReadControl = 32792;
inline constexpr int kQdReadControl = 32793;
inline constexpr int kAccessReadControl = 32794;
inline constexpr int kSeqWriteControl = 32795;
inline constexpr int kRnd4WriteControl = 32796;
inline constexpr int kQdWriteControl = 32797;
inline constexpr int kAccessWriteControl = 32798;
inline constexpr int kReadRatingControl = 32801;
inline constexpr int kWriteRatingControl = 32802;
inline constexpr int kTotalRatingControl = 32803;
inline constexpr int kRnd512ReadControl = 32807;
inline constexpr int kRnd512WriteControl = 32808;

struct ValueTexts {
  std::string seq_read, seq_write;        // SR, SW
  std::string qd_read, qd_write;          // RR4KB64QD, RW4KB64QD
  std::string rnd4_read, rnd4_write;      // RR4KB, RW4KB
  std::string rnd512_read, rnd512_write;  // RR512KB, RW512KB
  std::string access_read, access_write;  // from RR, RW
  std::string total_rating, read_rating, write_rating;

  bool operator==(const ValueTexts&) const = default;
};

struct ControlText {
  int control_id;
  std::string text;
};

// Where the panel shows each rate (the access time rates as access times), in the order it
// rewrites them; the three ratings follow.
struct ValueSlot {
  TestId test;
  bool write;
  std::string ValueTexts::*text;
  int control_id;
};
inline constexpr ValueSlot kValueSlots[] = {
    {kTestSequential, false, &ValueTexts::seq_read, kSeqReadControl},
    {kTestSequential, true, &ValueTexts::seq_write, kSeqWriteControl},
    {kTestQueued4K, false, &ValueTexts::qd_read, kQdReadControl},
    {kTestQueued4K, true, &ValueTexts::qd_write, kQdWriteControl},
    {kTestRandom4K, false, &ValueTexts::rnd4_read, kRnd4ReadControl},
    {kTestRandom4K, true, &ValueTexts::rnd4_write, kRnd4WriteControl},
    {kTestRandom512K, false, &ValueTexts::rnd512_read, kRnd512ReadControl},
    {kTestRandom512K, true, &ValueTexts::rnd512_write, kRnd512WriteControl},
    {kTestAccessTime, false, &ValueTexts::access_read, kAccessReadControl},
    {kTestAccessTime, true, &ValueTexts::access_write, kAccessWriteControl},
};

// The rate a slot shows, from `results`.
double SlotRate(const ValueSlot& slot, const BenchResults& results);

inline constexpr size_t kValueTextCount = 13;

// Every value text of `results` in the user's number format (or `locale`'s).
ValueTexts FormatValueTexts(const BenchResults& results,
                            const platform::UserLocale& locale = platform::SystemLocale());

// The texts the panel shows before its first refresh ("0.00 MB", "----", "000").
ValueTexts TemplateValueTexts();

// The texts paired with their controls, in the panel's refresh order.
std::array<ControlText, kValueTextCount> InRefreshOrder(const ValueTexts& texts);

// The controls whose text differs between `shown` and `next`, in refresh order; a panel rewrites
// only these.
std::vector<int> ChangedControls(const ValueTexts& shown, const ValueTexts& next);

}  // namespace korvanel
