#include <gtest/gtest.h>

#include "korvanel_version.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "lang/languages.h"
#include "lang/tests/language_test_support.h"
#include "lang/tests/translation_file_test_support.h"
#include "common/text_encoding.h"
#include "lang/translation_file.h"

namespace korvanel {
namespace {

TEST_F(TranslationFileTest, ExportedFileLoadsBackComplete) {
  const TranslationExport exported = WriteTranslationFile(scratch_dir_.path());
  ASSERT_TRUE(exported.written) << exported.error.description;
  EXPECT_EQ(exported.path, scratch_dir_ / ("translate_Korvanel_" KORVANEL_VERSION ".txt"));
  const std::string bytes = ReadBytes(exported.path);
  EXPECT_TRUE(bytes.starts_with(std::string("\xFF\xFE\x0D\x00\x0A\x00", 6)));
  const std::string text = Utf16LeToUtf8(std::string_view(bytes).substr(2));
  EXPECT_TRUE(text.starts_with("\r\nPlease don't forget! Write in e-mail subject: Strings for: "
                               "Korvanel " KORVANEL_VERSION " and "
                               "Language Name : German / Deutsch \r\n\r\nPlease send the string list back"));
  EXPECT_NE(text.find("best regards!\r\n\r\n\r\n##=English\tEnglisch\r\n\r\n0004=Donate\r\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with("0105=Access Time: The actually measured access time when reading and writing 4 Kb "
                             "blocks.\r\n\r\n\r\n"));

  SetCurrentLanguage(kGermanLanguage);
  const TranslationLoad loaded = LoadTranslationFile(exported.path);
  EXPECT_FALSE(loaded.error.failed());
  EXPECT_EQ(loaded.message, "100 %");
  EXPECT_TRUE(TranslationInUse());
  EXPECT_EQ(GetText(15), "Start ");  // English, taken from the file although German is current
}

TEST_F(TranslationFileTest, ReportListsNineMissingTextsThenTheRestAsIds) {
  const std::set<int> missing = {4, 5, 6, 7, 8, 9, 10, 11, 12, 30, 31, 105};
  const TranslationLoad loaded =
      LoadTranslationFile(WriteBytes("partial.txt", "\xFF\xFE" + *Utf8ToUtf16Le(EnglishLines(missing))));
  // 46 of the 58 English texts remain.
  EXPECT_EQ(loaded.message,
            "79 %\n\nmiss:\n4=Donate\n5=... Initialize\n6=Sequential Read\n7=Sequential Write\n8=Random Read\n"
            "9=Random Write\n10=Disk is Full\n11=File Create Error\n12=Write Error\n...and...\n30,31,105,");
  EXPECT_EQ(GetText(4), "Donate");  // missing: English
  EXPECT_EQ(GetText(13), "Read Error");
}

TEST_F(TranslationFileTest, EmptyTextsCountAsMissing) {
  TextTable english;
  english[1] = "One";
  english[2] = "Two";
  english[3] = "";
  TextTable translated;
  translated[1] = "Eins";
  translated[2] = "";
  EXPECT_EQ(CompletenessReport(english, translated), "50 %\n\nmiss:\n2=Two\n");
}

TEST_F(TranslationFileTest, ReadsEightBitFilesAsUtf8OrWindows1252) {
  LoadTranslationFile(WriteBytes("utf8.txt", "\xEF\xBB\xBF" "0015=Gr\xC3\xB6\xC3\x9F" "e\n0016=no line end"));
  EXPECT_EQ(GetText(15), "Größe");  // the mark does not spoil the first line
  EXPECT_EQ(GetText(16), "no line end");

  LoadTranslationFile(WriteBytes("cp1252.txt", "0015=Gr\xF6\xDF" "e \x80\r\n"));
  EXPECT_EQ(GetText(15), "Größe €");

  // UTF-16 with an odd trailing byte and a NUL character inside.
  const char utf16[] = "\xFF\xFE" "1\0" "5\0=\0a\0\0\0b\0\n\0x";
  LoadTranslationFile(WriteBytes("utf16.txt", std::string(utf16, sizeof utf16 - 1)));
  EXPECT_EQ(GetText(15), "ab");
}

TEST_F(TranslationFileTest, UnreadableFileChangesNothing) {
  SetCurrentLanguage(kGermanLanguage);
  for (const std::string& path : {scratch_dir_ / "missing.txt", scratch_dir_.path()}) {
    const TranslationLoad loaded = LoadTranslationFile(path);
    EXPECT_TRUE(loaded.error.failed()) << path;
    EXPECT_EQ(loaded.message, "");
    EXPECT_FALSE(TranslationInUse());
    EXPECT_EQ(GetText(16), "Stopp");
  }
  // Nothing but a small regular file is read (the system's own oddities: translation_file_linux_test).
  const std::string large = WriteBytes("large.txt", std::string(kMaxTranslationFileBytes + 1, 'x'));
  for (const auto& [path, reason] : {std::pair{scratch_dir_.path(), "not a regular file"},
                                     std::pair{large, "larger than 1 MiB"}}) {
    const TranslationLoad loaded = LoadTranslationFile(path);
    EXPECT_EQ(loaded.error.description, reason) << path;
    EXPECT_EQ(loaded.message, "");
    EXPECT_FALSE(TranslationInUse());
  }
  // A file in which no text is recognised is no translation: an empty one, random bytes, lines
  // with ids the program has no text for.
  std::string random;
  for (uint32_t i = 0, state = 7; i < 3072; ++i) random += static_cast<char>((state = state * 69069 + 1) >> 24);
  for (const std::string& content : {std::string(), random, std::string("0001=x\n0300=y\nname=z\n")}) {
    const TranslationLoad refused = LoadTranslationFile(WriteBytes("none.txt", content));
    EXPECT_NE(refused.error.description.find("no text of the program"), std::string::npos);
    EXPECT_EQ(refused.message, "");
    EXPECT_FALSE(TranslationInUse());
    EXPECT_EQ(GetText(16), "Stopp");
  }
}

}  // namespace
}  // namespace korvanel
