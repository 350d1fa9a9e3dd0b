#include "results/value_texts.h"

#include "results/ratings.h"
#include "results/value_text.h"

namespace korvanel {

ValueTexts FormatValueTexts(const BenchResults& results, const platform::UserLocale& locale) {
  const Ratings ratings = ComputeRatings(results);
  ValueTexts texts;
  texts.seq_read = RateText(results.SR, locale);
  texts.seq_write = RateText(results.SW, locale);
  texts.qd_read = RateText(results.RR4KB64QD, locale);
  texts.qd_write = RateText(results.RW4KB64QD, locale);
  texts.rnd4_read = RateText(results.RR4KB, locale);
  texts.rnd4_write = RateText(results.RW4KB, locale);
  texts.rnd512_read = RateText(results.RR512KB, locale);
  texts.rnd512_write = RateText(results.RW512KB, locale);
  texts.access_read = AccessTimeText(results.RR, locale);
  texts.access_write = AccessTimeText(results.RW, locale);
  texts.total_rating = RatingText(ratings.total, locale);
  texts.read_rating = RatingText(ratings.read, locale);
  texts.write_rating = RatingText(ratings.write, locale);
  return texts;
}

ValueTexts TemplateValueTexts() {
  const std::string rate = "0.00 MB";
  const std::string access = "----";
  const std::string rating = "000";
  return {rate, rate, rate, rate, rate, rate, rate, rate, access, access, rating, rating, rating};
}

std::array<ControlText, kValueTextCount> InRefreshOrder(const ValueTexts& texts) {
  return {{
      {kSeqReadControl, texts.seq_read},
      {kSeqWriteControl, texts.seq_write},
      {kQdReadControl, texts.qd_read},
      {kQdWriteControl, texts.qd_write},
      {kRnd4ReadControl, texts.rnd4_read},
      {kRnd4WriteControl, texts.rnd4_write},
      {kRnd512ReadControl, texts.rnd512_read},
      {kRnd512WriteControl, texts.rnd512_write},
      {kAccessReadControl, texts.access_read},
      {kAccessWriteControl, texts.access_write},
      {kTotalRatingControl, texts.total_rating},
      {kReadRatingControl, texts.read_rating},
      {kWriteRatingControl, texts.write_rating},
  }};
}

std::vector<int> ChangedControls(const ValueTexts& shown, const ValueTexts& next) {
  const auto before = InRefreshOrder(shown);
  const auto after = InRefreshOrder(next);
  std::vector<int> changed;
  for (size_t i = 0; i < kValueTextCount; ++i) {
    if (before[i].text != after[i].text) changed.push_back(after[i].control_id);
  }
  return changed;
}

}  // namespace korvanel
