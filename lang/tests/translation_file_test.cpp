#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include "lang/languages.h"
#include "lang/tests/language_test_support.h"
#include "lang/text_encoding.h"
#include "lang/translation_file.h"

namespace korvanel {
namespace {

class TranslationFileTest : public LanguageStateTest {
 protected:
  std::string WriteBytes(const std::string& name, const std::string& bytes) {
    const std::string path = (scratch_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  // The English texts as "id=text" lines, without the ids in `skip`.
  static std::string EnglishLines(const std::set<int>& skip) {
    const TextTable english = LanguageTexts(kEnglishLanguage);
    std::string lines;
    for (int id = 0; id < 256; ++id) {
      if (english[id] && !skip.contains(id)) lines += std::to_string(id) + "=" + *english[id] + "\r\n";
    }
    return lines;
  }
};

TEST_F(TranslationFileTest, ExportedFileLoadsBackComplete) {
  const TranslationExport exported = WriteTranslationFile(scratch_.string());
  ASSERT_TRUE(exported.written) << exported.error.description;
  EXPECT_EQ(exported.path, (scratch_ / "translate_Korvanel_1.84.txt").string());
  const std::string bytes = ReadBytes(exported.path);
  EXPECT_TRUE(bytes.starts_with(std::string("\xFF\xFE\x0D\x00\x0A\x00", 6)));
  const std::string text = Utf16LeToUtf8(std::string_view(bytes).substr(2));
  EXPECT_TRUE(text.starts_with("\r\nPlease don't forget! Write in e-mail subject: Strings for: Korvanel 1.84 and "
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
  EXPECT_EQ(GetText(4), "str:4?");
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
  for (const std::string& path : {(scratch_ / "missing.txt").string(), scratch_.string()}) {
    const TranslationLoad loaded = LoadTranslationFile(path);
    EXPECT_TRUE(loaded.error.failed()) << path;
    EXPECT_EQ(loaded.message, "");
    EXPECT_FALSE(TranslationInUse());
    EXPECT_EQ(GetText(16), "Stopp");
  }
  // Nothing but a small regular file is read: no abort, no endless read, no wait for a writer.
  ASSERT_EQ(mkfifo((scratch_ / "fifo").c_str(), 0600), 0);
  const std::string large = WriteBytes("large.txt", std::string(kMaxTranslationFileBytes + 1, 'x'));
  const std::pair<std::string, std::string> refused[] = {
      {scratch_.string(), "not a regular file"},     {(scratch_ / "fifo").string(), "not a regular file"},
      {"/dev/zero", "not a regular file"},           {large, "larger than 1 MiB"},
      {"/proc/self/mem", "Input/output error"},
  };
  for (const auto& [path, reason] : refused) {
    const TranslationLoad loaded = LoadTranslationFile(path);
    EXPECT_EQ(loaded.error.description, reason) << path;
    EXPECT_EQ(loaded.message, "");
    EXPECT_FALSE(TranslationInUse());
  }
  // An empty file is a translation with nothing in it.
  const TranslationLoad empty = LoadTranslationFile(WriteBytes("empty.txt", ""));
  EXPECT_TRUE(empty.message.starts_with("0 %\n\nmiss:\n4=Donate\n"));
  EXPECT_EQ(GetText(16), "str:16?");
}

TEST_F(TranslationFileTest, ExportWithoutDesktopWritesButDoesNotOpen) {
  const std::string runtime_dir = (scratch_ / "runtime").string();
  mkdir(runtime_dir.c_str(), 0700);
  ScopedEnv runtime("XDG_RUNTIME_DIR", runtime_dir.c_str());
  ScopedEnv display("DISPLAY", nullptr);
  ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  const TranslationExport exported = ExportTranslationFile();
  EXPECT_TRUE(exported.written) << exported.error.description;
  EXPECT_FALSE(exported.opened);
  EXPECT_FALSE(exported.error.failed());
  EXPECT_TRUE(exported.path.starts_with(runtime_dir + "/"));
  EXPECT_TRUE(std::filesystem::exists(exported.path));
}

TEST_F(TranslationFileTest, ARefusedPrivateDirectoryIsNamedInTheError) {
  const std::string runtime_dir = (scratch_ / "runtime").string();
  mkdir(runtime_dir.c_str(), 0700);
  mkdir((runtime_dir + "/korvanel").c_str(), 0700);
  chmod((runtime_dir + "/korvanel").c_str(), 0755);  // others may look in: not private
  ScopedEnv runtime("XDG_RUNTIME_DIR", runtime_dir.c_str());
  const TranslationExport exported = ExportTranslationFile();
  EXPECT_FALSE(exported.written);
  EXPECT_EQ(exported.path, runtime_dir + "/korvanel/" + TranslationFileName());
  EXPECT_EQ(exported.error.description, "others may enter " + runtime_dir + "/korvanel");
}

// This machine has no desktop, so a stand-in "xdg-open" on PATH records what it was given. The
// directory name holds shell syntax, which must reach the opener untouched.
TEST_F(TranslationFileTest, ExportHandsTheFileToTheDesktopOpenerWithoutAShell) {
  const std::filesystem::path bin = scratch_ / "bin";
  std::filesystem::create_directories(bin);
  const std::filesystem::path record = scratch_ / "opened.txt";
  std::ofstream(bin / "xdg-open") << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record.string() << ".tmp'\nmv '"
                                  << record.string() << ".tmp' '" << record.string() << "'\n";
  std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
  const std::string runtime_dir = (scratch_ / "run $(touch pwned); x").string();
  mkdir(runtime_dir.c_str(), 0700);
  const std::string path = bin.string() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "");
  ScopedEnv path_env("PATH", path.c_str());
  ScopedEnv runtime("XDG_RUNTIME_DIR", runtime_dir.c_str());
  ScopedEnv display("DISPLAY", ":99");

  const TranslationExport exported = ExportTranslationFile();
  ASSERT_TRUE(exported.written) << exported.error.description;
  EXPECT_TRUE(exported.opened) << exported.error.description;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(record) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(ReadBytes(record.string()), exported.path);
  EXPECT_FALSE(std::filesystem::exists(scratch_ / "pwned"));
  EXPECT_FALSE(std::filesystem::exists("pwned"));
}

}  // namespace
}  // namespace korvanel
