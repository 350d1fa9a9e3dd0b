// The translation export into $XDG_RUNTIME_DIR and its hand-over to the desktop's opener.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "lang/tests/translation_file_test_support.h"
#include "lang/translation_file.h"

namespace korvanel {
namespace {

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

// Nothing but a small regular file is read: no abort, no endless read, no wait for a writer.
TEST_F(TranslationFileTest, OnlyRegularFilesAreRead) {
  SetCurrentLanguage(kGermanLanguage);
  ASSERT_EQ(mkfifo((scratch_ / "fifo").c_str(), 0600), 0);
  const std::pair<std::string, std::string> refused[] = {
      {(scratch_ / "fifo").string(), "not a regular file"},
      {"/dev/zero", "not a regular file"},
      {"/proc/self/mem", "Input/output error"},
  };
  for (const auto& [path, reason] : refused) {
    const TranslationLoad loaded = LoadTranslationFile(path);
    EXPECT_EQ(loaded.error.description, reason) << path;
    EXPECT_EQ(loaded.message, "");
    EXPECT_FALSE(TranslationInUse());
    EXPECT_EQ(GetText(16), "Stopp");
  }
}

TEST_F(TranslationFileTest, APrivateDirectoryOthersMayEnterIsPassedOverAndTheExportSaysWhere) {
  const std::string runtime_dir = (scratch_ / "runtime").string();
  mkdir(runtime_dir.c_str(), 0700);
  mkdir((runtime_dir + "/korvanel").c_str(), 0700);
  chmod((runtime_dir + "/korvanel").c_str(), 0755);  // others may look in: not private
  ScopedEnv runtime("XDG_RUNTIME_DIR", runtime_dir.c_str());
  const TranslationExport exported = ExportTranslationFile([](const std::string&) { return platform::OpenOutcome{}; });
  EXPECT_TRUE(exported.written) << exported.error.description;
  const std::string directory = exported.path.substr(0, exported.path.rfind('/'));
  EXPECT_TRUE(directory.starts_with(runtime_dir + "/korvanel-")) << exported.path;
  EXPECT_EQ(exported.notice,
            "others may enter " + runtime_dir + "/korvanel; the file is in " + directory + " instead");
  EXPECT_TRUE(std::filesystem::is_empty(runtime_dir + "/korvanel"));
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
