#include "platform/locale.h"

#include <gtest/gtest.h>

#include <string>

#include "common/testing/scratch.h"

namespace korvanel::platform {
namespace {

using testing::ScopedEnv;

// These use the real locale data of Debian's locales-all package.
TEST(LinuxLocaleTest, DecimalSeparatorFollowsTheEnvironmentPrecedence) {
  ScopedEnv all("LC_ALL", nullptr);
  ScopedEnv lang("LANG", "C");
  {
    ScopedEnv numeric("LC_NUMERIC", "de_DE.UTF-8");
    EXPECT_EQ(SystemLocale().Numbers().decimal_separator, ",");
    ScopedEnv all_c("LC_ALL", "C");  // LC_ALL outranks LC_NUMERIC
    EXPECT_EQ(SystemLocale().Numbers().decimal_separator, ".");
  }
  ScopedEnv numeric("LC_NUMERIC", nullptr);
  {
    ScopedEnv german("LANG", "de_DE.UTF-8");
    EXPECT_EQ(SystemLocale().Numbers().decimal_separator, ",");
  }
  ScopedEnv missing("LC_ALL", "xx_XX.UTF-8");  // not installed: the neutral conventions
  EXPECT_EQ(SystemLocale().Numbers().decimal_separator, ".");
  EXPECT_TRUE(SystemLocale().Numbers().leading_zero);
}

TEST(LinuxLocaleTest, FormatsLocalTimeWithTheLocalesPatterns) {
  ScopedEnv all("LC_ALL", "de_DE.UTF-8");
  ScopedEnv zone("TZ", "UTC");
  const std::time_t when = 1709647629;  // 2024-03-05 14:07:09 UTC
  const DateTimePatterns patterns = SystemLocale().DateTime();
  EXPECT_EQ(SystemLocale().FormatLocalTime(patterns.date_format, when), "05.03.2024");
  EXPECT_EQ(SystemLocale().FormatLocalTime(patterns.time_format, when), "14:07:09");

  ScopedEnv later_zone("TZ", "Europe/Berlin");  // a changed zone shows at the next call
  EXPECT_EQ(SystemLocale().FormatLocalTime(patterns.time_format, when), "15:07:09");
  EXPECT_EQ(SystemLocale().FormatLocalTime(std::string(300, 'x'), when), "");
}

}  // namespace
}  // namespace korvanel::platform
