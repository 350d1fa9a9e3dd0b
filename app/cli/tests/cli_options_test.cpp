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
  // An empty value is a slip (an unset variable in a script), never "use the default".
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--report-file", ""}, {"--report-file="}, {"--drive", ""}, {"--load-translation="}}) {
    EXPECT_EQ(ParseOptions(args).error, args[0].substr(0, args[0].find('=')) + " needs a value, not an empty one")
        << testing::PrintToString(args);
  }
}

TEST(CliOptions, ARunStartsUnlessAnActionOrOnlyTheLanguageIsGiven) {
  const std::pair<std::vector<std::string>, CliAction> cases[] = {
      {{}, CliAction::kRun},  // the current directory
      {{"--lang", "0"}, CliAction::kStoreLanguage},
      {{"--lang=3"}, CliAction::kStoreLanguage},
      {{"--lang", "0", "--length", "0"}, CliAction::kRun},  // runs, in German
      {{"--lang", "0", "--json"}, CliAction::kRun},
      {{"--lang", "1", "--languages"}, CliAction::kLanguages},
      {{"--lang", "1", "--list"}, CliAction::kList},
      {{"--list", "--json"}, CliAction::kList},
      {{"--load-translation", "de.txt"}, CliAction::kRun},
      {{"--export-translation"}, CliAction::kExportTranslation},
      {{"--version"}, CliAction::kVersion},
      {{"--drive", "/mnt", "--version"}, CliAction::kVersion},  // answered, like --help, whatever else stands
      {{"--list", "--help"}, CliAction::kHelp},
  };
  for (const auto& [args, action] : cases) {
    const ParseResult parsed = ParseOptions(args);
    EXPECT_TRUE(parsed.error.empty()) << testing::PrintToString(args) << ": " << parsed.error;
    EXPECT_EQ(parsed.options.action, action) << testing::PrintToString(args);
  }
}

TEST(CliOptions, OptionsThatContradictEachOtherAreUsageErrors) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--report", "--report-file", "page.html"}, "choose one"},
      {{"--list", "--drive", "1"}, "--list runs no benchmark, so --drive"},
      {{"--languages", "--length", "2"}, "--languages runs no benchmark, so --length"},
      {{"--list", "--report"}, "--report does not go"},
      {{"--list", "--languages"}, "--list and --languages cannot be combined"},
      {{"--languages", "--json"}, "--json goes with a run or --list"},
  };
  for (const auto& [args, message] : cases) {
    const ParseResult parsed = ParseOptions(args);
    EXPECT_NE(parsed.error.find(message), std::string::npos) << testing::PrintToString(args) << ": " << parsed.error;
  }
}

}  // namespace
}  // namespace korvanel::cli
