#pragma once
// Shared set-up for tests that use the process-wide language state.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/testing/scratch.h"
#include "lang/languages.h"
#include "settings/settings.h"

namespace korvanel {

// Every test starts from the built-in table, English, no translation file and no settings file, and
// gets a private scratch directory.
class LanguageStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSettingsPath("");
    ASSERT_TRUE(LoadLanguageTable());
    SelectLanguage(kEnglishLanguage);
    scratch_ = PathFromUtf8(scratch_dir_.path());
  }
  void TearDown() override { SetSettingsPath(""); }

  // A settings file in the scratch directory holding `content`, made the one in use.
  void UseSettingsFile(const std::string& content) {
    const std::string path = scratch_dir_ / "Korvanel.ini";
    std::ofstream(PathFromUtf8(path)) << content;
    SetSettingsPath(path);
  }

  testing::ScratchDir scratch_dir_;
  std::filesystem::path scratch_;
};

using testing::ScopedEnv;

}  // namespace korvanel
