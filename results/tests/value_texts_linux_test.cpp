// The user's number format from the POSIX locale variables (Debian's locales-all).

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

TEST(ValueTextTest, UsesTheUsersLocaleAndIgnoresTheGlobalOne) {
  // Real locale data from Debian's locales-all.
  testing::ScopedEnv german("LC_ALL", "de_DE.UTF-8");
  EXPECT_EQ(RateText(1234.5), "1234,50 MB/s ");
  EXPECT_EQ(AccessTimeText(30), "0,1365 ms. ");

  // A toolkit that switches the process's global locale must not change the digits.
  testing::ScopedEnv neutral("LC_ALL", "C");
  const std::string global = std::setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
  EXPECT_EQ(RateText(123.4567), "123.46 MB/s ");
  std::setlocale(LC_NUMERIC, global.c_str());
}

}  // namespace
}  // namespace korvanel
