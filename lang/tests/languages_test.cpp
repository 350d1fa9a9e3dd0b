#include <gtest/gtest.h>

#include "korvanel_version.h"

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "lang/language_image.h"
#include "lang/default_language.h"
#include "lang/languages.h"
#include "platform/user_language.h"
#include "lang/lzari.h"
#include "lang/text_ids.h"
#include "lang/tests/language_test_support.h"
#include "common/text_encoding.h"
#include "settings/settings.h"

namespace korvanel {
namespace {

using LanguagesTest = LanguageStateTest;

// Name and second name of each language, in table order.
const std::vector<std::string> kDisplayNames = {
    "Deutsch\tGerman", "English\tEnglisch", "Greek\tΕλληνικά", "Hungarian\tMagyar", "Bulgarian\tБългарски",
    "Romanian\tRomână", "Czech\tČeský", "Russian\tPусский", "Polish\tPolski", "Chinese-Simplified\t简体 中文",
    "Dutch\tNederlands", "Swedish\tSvenska", "Spanish\tEspañol", "Persian\tفارسی",
    "Traditional Chinese\t正體中文", "Portuguese\tPortugal", "French\tFrançais", "Italian\tItaliano",
    "Korean\t한국어", "Ukrainian\tУкраїнська", "Japanese\t日本"};

TEST(BuiltInImage, DecodesToItsDeclaredSizeAndEndsWithTheClosingLine) {
  const auto image = BuiltInLanguageImage();
  ASSERT_GE(image.size(), 4u);
  const std::size_t declared = image[0] | image[1] << 8 | image[2] << 16 | std::size_t{image[3]} << 24;
  std::vector<std::uint8_t> out(declared + 16);
  LZARI decoder;
  EXPECT_EQ(decoder.DecodeFromMemory(image, out.data(), out.size()), declared);
  out.resize(declared);
  const std::string text = Utf16LeToUtf8(std::string_view(reinterpret_cast<const char*>(out.data()), out.size()));
  EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF"));  // the byte-order mark
  EXPECT_TRUE(text.ends_with("\r\n##\r\n"));
}

TEST(BuiltInTable, HasAllLanguagesAndAClosingNamelessSection) {
  for (const char* file : {"02_greek", "03_hungarian", "04_bulgarian", "05_romanian", "06_czech", "07_russian",
                           "08_polish", "09_chinese_simplified", "10_dutch", "11_swedish", "12_spanish",
                           "13_persian", "14_traditional_chinese", "15_portuguese", "16_french", "17_italian",
                           "18_korean", "19_ukrainian", "20_japanese"}) {
    EXPECT_TRUE(std::filesystem::exists(std::string(KORVANEL_LANG_TEXTS_DIR) + "/" + file + ".txt")) << file;
  }
  ASSERT_TRUE(LoadLanguageTable());
  ASSERT_EQ(LanguageCount(), 22);
  for (int i = 0; i < 21; ++i) EXPECT_EQ(LanguageDisplayName(i), kDisplayNames[i]) << i;
  EXPECT_EQ(LanguageDisplayName(21), "");
  for (const auto& text : LanguageTexts(21)) EXPECT_FALSE(text.has_value());
}

TEST(BuiltInTable, EveryLanguageIsComplete) {
  ASSERT_TRUE(LoadLanguageTable());
  const std::vector<LanguageMenuItem> items = ListLanguages();
  ASSERT_EQ(items.size(), 21u);
  for (const LanguageMenuItem& item : items) EXPECT_EQ(item.percent, 100) << item.name;
}

TEST(BuiltInTable, EnglishSectionFitsTheTranslationBuffer) {
  ASSERT_TRUE(LoadLanguageTable());
  const auto utf16 = Utf8ToUtf16Le(EnglishSectionText());
  ASSERT_TRUE(utf16.has_value());
  EXPECT_LT(utf16->size() / 2, 2048u);
  EXPECT_TRUE(EnglishSectionText().starts_with("0004=Donate\r\n"));
}

TEST_F(LanguagesTest, GermanEngineTextsAreTheShippedOnes) {
  SetCurrentLanguage(kGermanLanguage);
  const std::array<std::string, 10> expected = {
      "... Initialisieren ", "Sequenzielles Lesen ", "Sequenzielles Schreiben", "Zufallsbedingt Lesen",
      "Zufallsbedingt schreiben", "Datenträger Voll ", "Fehler beim Erstellen der Datei", "Schreibfehler",
      "Lesefehler", "Speicherfehler"};
  EXPECT_EQ(LanguageEngineTexts(), expected);
}

// A name that points at the wrong number would put another text on a button, a menu or a report
// line; the ranges the panel loops over (the test lengths, the rows' descriptions) must hold.
TEST_F(LanguagesTest, TheTextNamesPointAtTheTextsTheyName) {
  const std::pair<int, const char*> named[] = {
      {kDonateText, "Donate"},
      {kInitializeText, "... Initialize"},
      {kSequentialReadText, "Sequential Read"},
      {kStartText, "Start "},
      {kStopText, "Stop "},
      {kAccessTimeText, "Access time "},
      {kSequentialText, "Sequential"},
      {kReadText, "Read"},
      {kWriteText, "Write"},
      {kBenchmarkText, "Benchmark "},
      {kHideVolumeLabelText, "Don't show volume label"},
      {kExitText, "E&xit"},
      {kSystemText, "&System"},
      {kTaskManagerText, "Task-Manager"},
      {kDiskManagementText, "Disk Management"},
      {kHomepageText, "Korvanel Homepage"},
      {kScreenshotToPaintText, "Screenshot to MS-Paint"},
      {kTestNotCompletedText, "The test was not completed!"},
      {kInfoText, "Info"},
  };
  for (const auto& [id, english] : named) EXPECT_EQ(GetText(id), english) << id;
  EXPECT_EQ(GetText(kQuickTestText), "Quick Test (~ 15 sec) ");
  EXPECT_EQ(GetText(kVeryLongTestText), "Very Long test (~ 4 min) ");
  EXPECT_EQ(kVeryLongTestText - kQuickTestText, 3);
  EXPECT_TRUE(GetText(kSequentialInfoText).starts_with("Sequentiall:"));
  EXPECT_TRUE(GetText(kAccessTimeInfoText).starts_with("Access Time:"));
  EXPECT_EQ(kAccessTimeInfoText - kSequentialInfoText, 4);
  EXPECT_TRUE(GetSpecialText(kProgramNameText).starts_with("Korvanel "));
  EXPECT_TRUE(GetSpecialText(kNoWarrantyText).starts_with("Freeware:"));
}

TEST_F(LanguagesTest, SpecialTextsCarryNameAddressesAndContact) {
  EXPECT_EQ(GetSpecialText(19), "Korvanel " KORVANEL_VERSION);  // the project's version, from CMake
  EXPECT_EQ(GetSpecialText(20), "https://korvanel.example/");
  EXPECT_EQ(GetSpecialText(21), "https://korvanel.example/de/");
  EXPECT_EQ(GetSpecialText(23), "https://korvanel.example/de/?Microsoft/Korvanel/Danke");
  EXPECT_EQ(GetSpecialText(24), "https://korvanel.example/?Microsoft/Korvanel/Thanks");
  // The notice is used as a format with exactly one text argument.
  const std::string notice = GetSpecialText(22);
  EXPECT_TRUE(notice.ends_with(" # %s"));
  EXPECT_EQ(notice.find('%'), notice.size() - 2);
  const std::string request = GetSpecialText(25);
  EXPECT_NE(request.find("\r\nE-mail: translate@korvanel.example\r\n"), std::string::npos);
  EXPECT_TRUE(request.ends_with("\r\n"));
  EXPECT_EQ(GetSpecialText(0), "");
  EXPECT_EQ(GetSpecialText(128), "");
  EXPECT_EQ(GetSpecialText(-1), "");
}

TEST_F(LanguagesTest, OnlyGermanUsesTheGermanSiteAndATranslationKeepsTheSite) {
  ASSERT_TRUE(SelectLanguage(0));
  EXPECT_EQ(SiteAddress(), "https://korvanel.example/de/");
  EXPECT_EQ(ThanksPageAddress(), "https://korvanel.example/de/?Microsoft/Korvanel/Danke");
  UseTranslationTexts(TextTable{});
  EXPECT_EQ(SiteAddress(), "https://korvanel.example/de/");
  for (int language : {1, 2, 13, 20}) {
    ASSERT_TRUE(SelectLanguage(language));
    EXPECT_EQ(SiteAddress(), "https://korvanel.example/") << language;
    EXPECT_EQ(ThanksPageAddress(), "https://korvanel.example/?Microsoft/Korvanel/Thanks") << language;
  }
}

TEST_F(LanguagesTest, StoredLanguageOutsideTheTableShowsEnglish) {
  UseSettingsFile("[Program]\nlng=25\n");
  ChooseDefaultLanguage();
  EXPECT_EQ(CurrentLanguage(), 25);
  EXPECT_EQ(GetText(15), "Start ");
  // The site's name is filled in where the "%s" stands, from the configured site.
  EXPECT_EQ(GetText(75), "Comparing the results on %s");
  EXPECT_EQ(SiteName(), "korvanel.example");
  for (const LanguageMenuItem& item : ListLanguages()) EXPECT_FALSE(item.current) << item.name;
}

TEST_F(LanguagesTest, WithoutStoredLanguageTheLocaleDecides) {
  UseSettingsFile("[Program]\n");
  if (const std::optional<uint16_t> language_id = platform::UserUiLanguageId()) {
    // Windows names the user's language by identifier; the locale variables mean nothing there.
    ScopedEnv all("LC_ALL", "zh_TW.UTF-8");
    ChooseDefaultLanguage();
    EXPECT_EQ(CurrentLanguage(), DefaultLanguageForLanguageId(*language_id));
    return;
  }
  ScopedEnv messages("LC_MESSAGES", "de_DE.UTF-8");
  {
    ScopedEnv all("LC_ALL", "zh_TW.UTF-8");
    ChooseDefaultLanguage();
    EXPECT_EQ(CurrentLanguage(), 14);
  }
  {
    ScopedEnv all("LC_ALL", "zh_CN.UTF-8");
    ChooseDefaultLanguage();
    EXPECT_EQ(CurrentLanguage(), 9);
  }
  {
    ScopedEnv all("LC_ALL", "");  // empty: the next variable counts
    ChooseDefaultLanguage();
    EXPECT_EQ(CurrentLanguage(), 0);
  }
}

TEST_F(LanguagesTest, SelectingALanguageStoresItAndLeavesTranslationMode) {
  UseSettingsFile("[Program]\nlng=1\n");
  TextTable partial;
  partial[15] = "Go";
  UseTranslationTexts(partial);
  EXPECT_EQ(GetText(15), "Go");
  EXPECT_EQ(LanguageEngineTexts()[0], "... Initialize");

  ASSERT_TRUE(SelectLanguage(kGermanLanguage));
  EXPECT_FALSE(TranslationInUse());
  EXPECT_EQ(GetText(16), "Stopp");
  EXPECT_EQ(ReadSettingInt("lng", -1), 0);
  const std::vector<LanguageMenuItem> items = ListLanguages();
  EXPECT_TRUE(items[0].current);
  EXPECT_FALSE(items[1].current);
  EXPECT_EQ(items[1].label, "English\tEnglisch / 100 %");
  EXPECT_EQ(items[1].name, "English");
  EXPECT_EQ(items[1].second_name, "Englisch");

  // The nameless section and indexes outside the table are not on the menu.
  EXPECT_FALSE(SelectLanguage(21));
  EXPECT_FALSE(SelectLanguage(99));
  EXPECT_FALSE(SelectLanguage(-1));
  EXPECT_EQ(CurrentLanguage(), 0);
  EXPECT_EQ(ReadSettingInt("lng", -1), 0);
}

TEST_F(LanguagesTest, MissingTextsFallBackToEnglishButEmptyOnesAreShown) {
  LanguageTable table;
  table.languages.resize(3);
  table.languages[kEnglishLanguage].texts[7] = "Seven";
  table.languages[kEnglishLanguage].texts[8] = "Eight";
  table.languages[2].texts[8] = "";
  table.languages[2].texts[9] = "Neun";
  InstallLanguageTable(table);
  SetCurrentLanguage(2);
  EXPECT_EQ(GetText(7), "Seven");
  EXPECT_EQ(GetText(8), "");
  EXPECT_EQ(GetText(9), "Neun");
  EXPECT_EQ(GetText(10), "");
  EXPECT_EQ(GetText(256), "");
  EXPECT_EQ(GetText(-1), "");

  // A translation file's missing and empty texts are English's, not the current language's.
  TextTable file;
  file[9] = "from file";
  file[7] = "";
  UseTranslationTexts(file);
  EXPECT_EQ(GetText(9), "from file");
  EXPECT_EQ(GetText(7), "Seven");
  EXPECT_EQ(GetText(8), "Eight");
  EXPECT_EQ(GetText(77), "");
}

}  // namespace
}  // namespace korvanel
