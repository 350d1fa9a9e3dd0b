#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/tools/table_source.h"
#include "common/text_encoding.h"

namespace korvanel {
namespace {

const TableSource kHeader{"header.txt", "Head line\n"};
const std::vector<TableSource> kFixed = {
    {"language_independent.txt", "##\n19=Korvanel 1.84\n"}, {"reserved_en.txt", "##\nNotes\n"}, {"reserved_de.txt", "##\n"}};

std::string TableAsUtf8(const TableBuild& build) {
  EXPECT_TRUE(build.table.starts_with("\xFF\xFE"));
  return Utf16LeToUtf8(std::string_view(build.table).substr(2));
}

TEST(BuildLanguageTable, JoinsSourcesWithCrLfAndAClosingLine) {
  const TableBuild build = BuildLanguageTable(
      kHeader, kFixed,
      {{"00_german.txt", "\xEF\xBB\xBF##=Deutsch\tGerman\r\n0015=Start\n"},
       {"01_english.txt", "##=English\tEnglisch\nTranslatorName=x\n0015=Start \n0255=Größe\n"}});
  ASSERT_EQ(build.error, "");
  EXPECT_EQ(TableAsUtf8(build),
            "Head line\r\n##\r\n19=Korvanel 1.84\r\n##\r\nNotes\r\n##\r\n"
            "##=Deutsch\tGerman\r\n0015=Start\r\n"
            "##=English\tEnglisch\r\nTranslatorName=x\r\n0015=Start \r\n0255=Größe\r\n##\r\n");
}

struct BadSource {
  const char* name;
  TableSource language;
  const char* expected_error;
};

// Keeps test listings readable: the case's name instead of its bytes.
void PrintTo(const BadSource& source, std::ostream* out) { *out << source.name; }

class BuildLanguageTableRejects : public testing::TestWithParam<BadSource> {};

TEST_P(BuildLanguageTableRejects, NamingFileAndLine) {
  const TableBuild build = BuildLanguageTable(kHeader, kFixed, {GetParam().language});
  EXPECT_EQ(build.error, GetParam().expected_error);
  EXPECT_TRUE(build.table.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, BuildLanguageTableRejects,
    testing::Values(
        BadSource{"no_section_mark", {"x.txt", "=German\n"}, "x.txt:1: a section file must start with \"##\""},
        BadSource{"second_mark", {"x.txt", "##=A\tB\n0001=a ## b\n"}, "x.txt:2: \"##\" would start a new section here"},
        BadSource{"no_last_line_end", {"x.txt", "##=A\tB\n0001=a"}, "x.txt:0: the last line must end with a line end"},
        BadSource{"title_without_tab", {"x.txt", "##=German\n"}, "x.txt:1: expected \"##=<name><TAB><second name>\""},
        BadSource{"title_two_tabs", {"x.txt", "##=A\tB\tC\n"}, "x.txt:1: expected \"##=<name><TAB><second name>\""},
        BadSource{"three_digit_id", {"x.txt", "##=A\tB\n015=Start\n"}, "x.txt:2: expected \"NNNN=text\" or a translator line"},
        BadSource{"blank_line", {"x.txt", "##=A\tB\n\n"}, "x.txt:2: expected \"NNNN=text\" or a translator line"},
        BadSource{"id_too_large", {"x.txt", "##=A\tB\n0256=x\n"}, "x.txt:2: text id above 255"},
        BadSource{"ids_not_increasing", {"x.txt", "##=A\tB\n0005=a\n0005=b\n"}, "x.txt:3: text ids must increase"},
        BadSource{"lone_cr", {"x.txt", "##=A\tB\n0005=a\rb\n"}, "x.txt:2: carriage return inside a line"},
        BadSource{"bad_utf8", {"x.txt", "##=A\tB\n0005=\xC3\x28\n"}, "x.txt:0: not valid UTF-8"}),
    [](const testing::TestParamInfo<BadSource>& info) { return info.param.name; });

TEST(BuildLanguageTable, RejectsAMarkInTheHeaderAndTooManyLanguages) {
  EXPECT_EQ(BuildLanguageTable({"h.txt", "a ## b\n"}, kFixed, {}).error,
            "h.txt:0: the header must not contain \"##\"");
  const std::vector<TableSource> many(32, TableSource{"x.txt", "##=Name\tName\n"});
  EXPECT_EQ(BuildLanguageTable(kHeader, kFixed, many).error, "more than 31 language files");
}

}  // namespace
}  // namespace korvanel
