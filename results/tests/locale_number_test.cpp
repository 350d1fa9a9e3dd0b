#include "results/locale_number.h"

#include <gtest/gtest.h>

namespace korvanel {
namespace {

struct NumberCase {
  const char* plain;
  int digits;
  const char* expected;
};

TEST(LocaleNumberTest, RoundsHalfAwayFromZeroOnTheDecimalText) {
  const platform::NumberConventions point{".", true};
  const NumberCase cases[] = {
      {"123.457", 2, "123.46"},
      {"0.125", 2, "0.13"},       // the text's tie rounds up, unlike the binary value in printf
      {"-1.005", 2, "-1.01"},     // away from zero
      {"9.995", 2, "10.00"},      // carry through the point
      {"99.999", 2, "100.00"},    // carry into a new digit
      {"2.5", 0, "3"},            // no fraction digits, no separator
      {"1.5", 3, "1.500"},        // padded
      {"12", 2, "12.00"},
      {".5", 1, "0.5"},           // the missing leading zero is supplied
      {"1234567.891", 2, "1234567.89"},  // no digit groups
      {"0.000", 4, "0.0000"},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(FormatLocaleNumber(c.plain, c.digits, point), c.expected) << c.plain;
  }
}

TEST(LocaleNumberTest, AppliesSeparatorAndLeadingZeroRule) {
  EXPECT_EQ(FormatLocaleNumber("1234.500", 2, platform::NumberConventions{",", true}), "1234,50");
  EXPECT_EQ(FormatLocaleNumber("0.50", 2, platform::NumberConventions{".", false}), ".50");
  EXPECT_EQ(FormatLocaleNumber("-0.50", 2, platform::NumberConventions{"٫", false}), "-٫50");
  // A locale that names no separator gets the comma.
  EXPECT_EQ(FormatLocaleNumber("1.25", 2, platform::NumberConventions{"", true}), "1,25");
}

TEST(LocaleNumberTest, LeavesTextsThatAreNoPlainNumberAlone) {
  const platform::NumberConventions comma{",", true};
  for (const char* text : {"inf", "-nan", "1e+05", "", "-", ".", "1.2.3", " 1.5", "1,5", "+1"}) {
    EXPECT_EQ(FormatLocaleNumber(text, 2, comma), text);
  }
}

}  // namespace
}  // namespace korvanel
