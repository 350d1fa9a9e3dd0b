#include "results/value_texts.h"

#include <gtest/gtest.h>

#include <clocale>

#include "common/testing/scratch.h"
#include "results/finish_time.h"
#include "results/locale_date_time.h"
#include "results/ratings.h"
#include "results/value_text.h"

namespace korvanel {
namespace {

// A locale with chosen conventions, where the real one would depend on the machine's clock.
class FakeLocale : public platform::UserLocale {
 public:
  explicit FakeLocale(std::string separator = ".") { numbers_.decimal_separator = separator; }
  platform::NumberConventions Numbers() const override { return numbers_; }
  platform::DateTimePatterns DateTime() const override { return {"DD.MM.YYYY", "hh:mm"}; }
  std::string FormatLocalTime(const std::string& pattern, std::time_t) const override {
    return pattern == "DD.MM.YYYY" ? "05.03.2024" : "14:07";
  }

 private:
  platform::NumberConventions numbers_;
};

TEST(ValueTextTest, FormatsRatesAccessTimesAndRatings) {
  const FakeLocale point;
  EXPECT_EQ(RateText(123.4567, point), "123.46 MB/s ");
  EXPECT_EQ(RateText(0, point), "0.00 MB/s ");
  EXPECT_EQ(AccessTimeText(0, point), "------ ");
  EXPECT_EQ(AccessTimeText(40.96, point), "0.1000 ms. ");
  EXPECT_EQ(AccessTimeText(30, point), "0.1365 ms. ");
  EXPECT_EQ(RatingText(0, point), "0.0");
  EXPECT_EQ(RatingText(659.999939, point), "660.0");
  EXPECT_EQ(RateText(1234.5, FakeLocale(",")), "1234,50 MB/s ");
}

TEST(RatingsTest, WeighTheRatesWithTheirPublishedConstants) {
  BenchResults results;
  results.SR = 500, results.RR4KB = 30, results.RR512KB = 300, results.RR4KB64QD = 150;
  results.SW = 500, results.RW4KB = 30, results.RW512KB = 300, results.RW4KB64QD = 150;
  results.RR = results.RW = 1000;  // access-time rates take no part
  const Ratings ratings = ComputeRatings(results);
  EXPECT_NEAR(ratings.read, 659.999939, 1e-9);   // seven threes for the random reads
  EXPECT_NEAR(ratings.write, 659.99984, 1e-9);   // six threes for every write term
  EXPECT_DOUBLE_EQ(ratings.total, ratings.write + ratings.read);

  BenchResults sequential;
  sequential.SR = 812.25, sequential.SW = 401.5;
  const Ratings only = ComputeRatings(sequential);
  EXPECT_EQ(only.read, 812.25);
  EXPECT_EQ(only.write, 401.5);
  EXPECT_EQ(only.total, 1213.75);
}

TEST(ValueTextsTest, NamesAllThirteenTextsInRefreshOrder) {
  BenchResults random_4k_only;  // access times stay unmeasured
  random_4k_only.RR4KB = 30, random_4k_only.RW4KB = 40.96;
  const FakeLocale point;
  const ValueTexts texts = FormatValueTexts(random_4k_only, point);
  EXPECT_EQ(texts.rnd4_read, "30.00 MB/s ");
  EXPECT_EQ(texts.rnd4_write, "40.96 MB/s ");
  EXPECT_EQ(texts.access_read, "------ ");
  EXPECT_EQ(texts.access_write, "------ ");
  EXPECT_EQ(texts.seq_read, "0.00 MB/s ");
  EXPECT_EQ(texts.read_rating, "10.0");
  EXPECT_EQ(texts.write_rating, "13.7");
  EXPECT_EQ(texts.total_rating, "23.7");

  const int expected_order[] = {32791, 32795, 32793, 32797, 32792, 32796, 32807,
                                32808, 32794, 32798, 32803, 32801, 32802};
  const auto ordered = InRefreshOrder(texts);
  for (size_t i = 0; i < kValueTextCount; ++i) EXPECT_EQ(ordered[i].control_id, expected_order[i]);
  EXPECT_EQ(ordered[4].text, "30.00 MB/s ");    // 32792 shows RR4KB
  EXPECT_EQ(ordered[11].text, "10.0");          // 32801 shows the read rating
}

TEST(ValueTextsTest, OnlyChangedTextsNeedRewriting) {
  const FakeLocale point;
  BenchResults results;
  const ValueTexts zero = FormatValueTexts(results, point);
  EXPECT_EQ(ChangedControls(TemplateValueTexts(), zero).size(), kValueTextCount);
  EXPECT_TRUE(ChangedControls(zero, zero).empty());

  results.SW = 100;  // changes its own text and two ratings
  EXPECT_EQ(ChangedControls(zero, FormatValueTexts(results, point)),
            (std::vector<int>{kSeqWriteControl, kTotalRatingControl, kWriteRatingControl}));
}

TEST(FinishTimeTest, StampsDateAndTimeAndKeepsTheFormats) {
  const FakeLocale locale;
  EXPECT_EQ(FinishTimeStamp(locale), "05.03.2024 14:07");
  const LocaleDateTime kept = LastLocaleDateTime();
  EXPECT_EQ(kept.date_format, "DD.MM.YYYY");
  EXPECT_EQ(kept.time_text, "14:07");
}

}  // namespace
}  // namespace korvanel
