#pragma once
// Shared set-up for tests that use the process-wide language state.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "lang/languages.h"
#include "settings/settings.h"

namespace korvanel {

// Every test starts from the built-in table, English, no translation file and no settings file, and
// gets a private scratch directory.
class LanguageStateTest : public testing::Test {
 protected:
  void SetUp() override {
    SetSettingsPath("");
    ASSERT_TRUE(LoadLanguageTable());
    SelectLanguage(kEnglishLanguage);
    scratch_ = std::filesystem::temp_directory_path() /
               ("korvanel_lang_" + std::to_string(getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(scratch_);
    std::filesystem::create_directories(scratch_);
  }
  void TearDown() override {
    SetSettingsPath("");
    std::filesystem::remove_all(scratch_);
  }

  // A settings file in the scratch directory holding `content`, made the one in use.
  void UseSettingsFile(const std::string& content) {
    const std::string path = (scratch_ / "Korvanel.ini").string();
    FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(content.c_str(), file);
    std::fclose(file);
    SetSettingsPath(path);
  }

  std::filesystem::path scratch_;
};

// Sets an environment variable for the lifetime of the object, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace korvanel
