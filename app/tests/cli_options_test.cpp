// The command line scripts rely on: names, values, and what counts as a usage error.
#include <gtest/gtest.h>

#include "app/cli/cli_options.h"

namespace korvanel::cli {
namespace {

TEST(CliOptions, DefaultsAndEveryOption) {
  ParseResult none = ParseOptions({});
  EXPECT_TRUE(none.error.empty());
  EXPECT_EQ(none.options.drive, ".");
  EXPECT_FALSE(none.options.length.has_value());
  EXPECT_EQ(none.options.test_id, 6);
  EXPECT_FALSE(none.options.json);

  ParseResult all = ParseOptions({"--drive", "/mnt/usb", "--length", "3", "--test=qd64", "--json"});
  ASSERT_TRUE(all.error.empty()) << all.error;
  EXPECT_EQ(all.options.drive, "/mnt/usb");
  EXPECT_EQ(all.options.length, 3);
  EXPECT_EQ(all.options.test_id, 1030);
  EXPECT_TRUE(all.options.json);
  EXPECT_TRUE(ParseOptions({"--help"}).options.help);
}

TEST(CliOptions, TestNamesMapToTheirIds) {
  const std::pair<const char*, int> names[] = {{"all", 6},     {"seq", 1028},  {"4k", 1029},
                                               {"512k", 1034}, {"qd64", 1030}, {"access", 1032}};
  for (const auto& [name, id] : names) EXPECT_EQ(TestIdForName(name), id) << name;
  EXPECT_FALSE(TestIdForName("4K").has_value());
}

TEST(CliOptions, UsageErrors) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--length", "4"}, {"--length", "-1"}, {"--length", "01"}, {"--length"}, {"--test", "fast"},
           {"--drive"}, {"--frobnicate"}, {"--json=yes"}, {"extra"}}) {
    EXPECT_FALSE(ParseOptions(args).error.empty()) << args[0];
  }
}

}  // namespace
}  // namespace korvanel::cli
