#include "results/value_texts.h"

#include "results/ratings.h"
#include "results/value_text.h"

namespace korvanel {

double SlotRate(const ValueSlot& slot, const BenchResults& results) {
  return results.*FindTestRates(slot.test)->rate(slot.write).field;
}

ValueTexts FormatValueTexts(const BenchResults& results, const platform::UserLocale& locale) {
  ValueTexts texts;
  for (const ValueSlot& slot : kValueSlots) {
    const double rate = SlotRate(slot, results);
    texts.*slot.text = slot.test == kTestAccessTime ? AccessTimeText(rate, locale) : RateText(rate, locale);
  }
  const Ratings ratings = ComputeRatings(results);
  texts.total_rating = RatingText(ratings.total, locale);
  texts.read_rating = RatingText(ratings.read, locale);
  texts.write_rating = RatingText(ratings.write, locale);
  return texts;
}

ValueTexts TemplateValueTexts() {
  ValueTexts texts;
  for (const ValueSlot& slot : kValueSlots) texts.*slot.text = slot.test == kTestAccessTime ? "----" : "0.00 MB";
  texts.total_rating = texts.read_rating = texts.write_rating = "000";
  return texts;
}

std::array<ControlText, kValueTextCount> InRefreshOrder(const ValueTexts& texts) {
  std::array<ControlText, kValueTextCount> ordered;
  size_t next = 0;
  for (const ValueSlot& slot : kValueSlots) ordered[next++] = {slot.control_id, texts.*slot.text};
  ordered[next++] = {kTotalRatingControl, texts.total_rating};
  ordered[next++] = {kReadRatingControl, texts.read_rating};
  ordered[next++] = {kWriteRatingControl, texts.write_rating};
  return ordered;
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
