#pragma once
// The thirteen value texts of the results panel, named and in the order the panel rewrites them.

#include <array>
#include <string>
#include <vector>

#include "engine/bench_results.h"
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
