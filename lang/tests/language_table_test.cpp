#include <gtest/gtest.h>

#include <string>

#include "lang/default_language.h"
#include "lang/language_table.h"
#include "lang/text_section.h"

namespace korvanel {
namespace {

TEST(ParseTextSection, ReadsIdLinesAsTheTableStoresThem) {
  TextTable table;
  table[200] = "stale";
  ParseTextSection(
      "[Tool-Tips eg Info]\r\n"
      "0005=... Initialisieren \r\n"  // leading zeros; the trailing blank belongs to the text
      "  16=a=b\r\n"                   // leading blanks skipped; text starts after the first "="
      "17=first\n17=second\n"          // later line wins
      "18=\n"                          // present but empty
      "TranslatorName=Someone\n"       // no number: id 0
      "-3=negative\n256=too large\n99999999999999999999999=saturates, not wraps\n"
      "no equals sign\n"
      "19=last line without line end",
      table);
  EXPECT_EQ(table[5], "... Initialisieren ");
  EXPECT_EQ(table[16], "a=b");
  EXPECT_EQ(table[17], "second");
  EXPECT_EQ(table[18], "");
  EXPECT_EQ(table[0], "Someone");
  EXPECT_EQ(table[19], "last line without line end");
  EXPECT_FALSE(table[200].has_value());
  EXPECT_FALSE(table[3].has_value());
  int present = 0;
  for (const auto& text : table) present += text.has_value();
  EXPECT_EQ(present, 6);
}

TEST(ParseSpecialSection, TurnsEscapesIntoLineBreaks) {
  SpecialTextTable table;
  ParseSpecialSection("25=a\\r\\nb\r\n26=back\\slash \\t\r\n128=ignored\r\n", table);
  EXPECT_EQ(table[25], std::string("a\r\nb"));
  EXPECT_EQ(table[25]->size(), 4u);
  EXPECT_EQ(table[26], "back\\slash \\t");
}

TEST(CompletenessPercent, TruncatesTheDoubleQuotient) {
  TextTable reference;
  TextTable texts;
  for (int id = 0; id < 50; ++id) reference[id] = "x";
  for (int id = 0; id < 29; ++id) texts[id] = "y";
  EXPECT_EQ(CompletenessPercent(reference, texts), 57);  // 0.58 * 100 lies just below 58
  for (int id = 50; id < 60; ++id) reference[id] = "x";
  for (int id = 29; id < 57; ++id) texts[id] = "y";
  EXPECT_EQ(CompletenessPercent(reference, texts), 95);
  texts[0] = "";  // present but empty counts as missing
  EXPECT_EQ(CompletenessPercent(reference, texts), 93);
  texts[100] = "extra ids do not count";
  EXPECT_EQ(CompletenessPercent(reference, texts), 93);
  EXPECT_EQ(CompletenessPercent(TextTable{}, texts), 0);
}

TEST(IndexLanguageTable, CutsSectionsAtEveryMark) {
  const LanguageTable table = IndexLanguageTable(
      "ignored 0001=head\r\n"
      "##\r\n19=Korvanel 1.84\r\n22=a\\nb\r\n"
      "##\r\n0001=reserved english\r\n"
      "##\r\n0001=reserved german\r\n"
      "##=Deutsch\tGerman\r\n0001=Eins\r\n0002=Zwei\r\n"
      "##=English\tEnglisch\r\n0001=One\r\n0002=Two\r\n0003=Three\r\n"
      "##\r\n");
  EXPECT_EQ(table.special_texts[19], "Korvanel 1.84");
  EXPECT_EQ(table.special_texts[22], "a\nb");
  ASSERT_EQ(table.languages.size(), 3u);
  EXPECT_EQ(table.languages[0].display_name, "Deutsch\tGerman");
  EXPECT_EQ(table.languages[0].texts[1], "Eins");
  EXPECT_EQ(table.languages[0].percent, 66);
  EXPECT_EQ(table.languages[1].percent, 100);
  EXPECT_EQ(table.english_section, "0001=One\r\n0002=Two\r\n0003=Three\r\n");
  EXPECT_EQ(table.languages[2].display_name, "");
  EXPECT_EQ(table.languages[2].percent, 0);
}

TEST(IndexLanguageTable, KeepsAtMost32Languages) {
  std::string text = "##\r\n##\r\n##\r\n";
  for (int i = 0; i < 40; ++i) text += "##=Language " + std::to_string(i) + "\tx\r\n0001=t\r\n";
  const LanguageTable table = IndexLanguageTable(text);
  ASSERT_EQ(table.languages.size(), 32u);
  EXPECT_EQ(table.languages[31].display_name, "Language 31\tx");
}

TEST(IndexLanguageTable, SurvivesTablesWithoutSections) {
  EXPECT_TRUE(IndexLanguageTable("").languages.empty());
  EXPECT_TRUE(IndexLanguageTable("##").languages.empty());
  EXPECT_EQ(IndexLanguageTable("####\r\n##\r\n##=A").languages.size(), 1u);
}

TEST(DefaultLanguageForLocale, MapsLocaleNamesToTableIndexes) {
  struct Case {
    const char* locale;
    int index;
  };
  for (const Case& c : {Case{"de_DE.UTF-8", 0}, Case{"en_US.UTF-8", 1}, Case{"el_GR", 2}, Case{"hu_HU", 3},
                        Case{"bg_BG", 4}, Case{"ro_RO", 5}, Case{"cs_CZ", 6}, Case{"ru_RU.KOI8-R", 7},
                        Case{"pl_PL", 8}, Case{"zh_CN.UTF-8", 9}, Case{"zh", 9}, Case{"zh_TW.UTF-8", 14},
                        Case{"zh_HK", 14}, Case{"nl_NL", 10}, Case{"sv_SE@euro", 11}, Case{"es_ES", 12},
                        Case{"fa_IR", 13}, Case{"pt_BR", 15}, Case{"fr_FR", 16}, Case{"it_IT", 17},
                        Case{"ja_JP.UTF-8", 1}, Case{"ko_KR", 1}, Case{"uk_UA", 1}, Case{"C", 1},
                        Case{"POSIX", 1}, Case{"", 1}, Case{"deu", 1}}) {
    EXPECT_EQ(DefaultLanguageForLocale(c.locale), c.index) << c.locale;
  }
}

TEST(DefaultLanguageForLanguageId, MapsWindowsLanguageIdentifiersByPrimaryLanguage) {
  struct Case {
    uint16_t language_id;
    int index;
  };
  // de-DE, de-AT, en-US, en-GB, el, hu, bg, ro, cs, ru, pl, nl, sv, es-ES, es-MX, fa, pt-BR, pt-PT, fr, it.
  for (const Case& c : {Case{0x0407, 0}, Case{0x0C07, 0}, Case{0x0409, 1}, Case{0x0809, 1}, Case{0x0408, 2},
                        Case{0x040E, 3}, Case{0x0402, 4}, Case{0x0418, 5}, Case{0x0405, 6}, Case{0x0419, 7},
                        Case{0x0415, 8}, Case{0x0413, 10}, Case{0x041D, 11}, Case{0x0C0A, 12}, Case{0x080A, 12},
                        Case{0x0429, 13}, Case{0x0416, 15}, Case{0x0816, 15}, Case{0x040C, 16}, Case{0x0410, 17},
                        // Korean, Ukrainian and Japanese have tables but no default of their own.
                        Case{0x0412, 1}, Case{0x0422, 1}, Case{0x0411, 1}, Case{0, 1}}) {
    EXPECT_EQ(DefaultLanguageForLanguageId(c.language_id), c.index) << std::hex << c.language_id;
  }
  // Chinese: only sublanguage 1 (Taiwan) is Traditional; PRC, Hong Kong and Singapore get Simplified.
  EXPECT_EQ(DefaultLanguageForLanguageId(0x0404), 14);
  EXPECT_EQ(DefaultLanguageForLanguageId(0x0804), 9);
  EXPECT_EQ(DefaultLanguageForLanguageId(0x0C04), 9);
  EXPECT_EQ(DefaultLanguageForLanguageId(0x1004), 9);
}

}  // namespace
}  // namespace korvanel
