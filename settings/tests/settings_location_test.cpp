#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/path_text.h"
#include "platform/paths.h"
#include "settings/settings.h"
#include "common/testing/scratch.h"

namespace korvanel {
namespace {

namespace fs = std::filesystem;
using testing::ScopedEnv;
using testing::ScratchDir;

constexpr bool kWindowsFileSystem = fs::path::preferred_separator == '\\';

class SettingsLocationTest : public ::testing::Test {
 protected:
  void Touch(const std::string& path, const std::string& content = "") {
    fs::create_directories(PathFromUtf8(path).parent_path());
    std::ofstream(PathFromUtf8(path)) << content;
  }
  std::string ConfigFile() const { return dir_ / "config/Korvanel/Korvanel.ini"; }

  ScratchDir dir_;
};

TEST_F(SettingsLocationTest, AFileBesideTheProgramWinsOnlyOutsideTheTempDirectory) {
  const std::string bin = dir_ / "bin";
  const std::string temp = dir_ / "tmp";
  const std::string config = dir_ / "config";
  fs::create_directories(bin);
  EXPECT_EQ(ChooseSettingsPath(bin, temp, config), ConfigFile()) << "nothing beside the program";

  fs::create_directory(bin + "/Korvanel.ini");
  EXPECT_EQ(ChooseSettingsPath(bin, temp, config), ConfigFile()) << "a directory is no settings file";
  fs::remove(bin + "/Korvanel.ini");

  Touch(bin + "/Korvanel.ini");  // an empty file is enough
  EXPECT_EQ(ChooseSettingsPath(bin, temp, config), bin + "/Korvanel.ini");
  EXPECT_EQ(ChooseSettingsPath(bin, dir_ / "bi", config), bin + "/Korvanel.ini")
      << "a name prefix is not a parent directory";
  EXPECT_EQ(ChooseSettingsPath("", temp, config), ConfigFile());

  const std::string unpacked = temp + "/unpacked";
  Touch(unpacked + "/Korvanel.ini");
  EXPECT_EQ(ChooseSettingsPath(unpacked, temp, config), ConfigFile());
  EXPECT_EQ(ChooseSettingsPath(unpacked, dir_.path() + "//tmp/", config), ConfigFile());
  EXPECT_EQ(ChooseSettingsPath(dir_.path(), dir_.path(), config), ConfigFile()) << "the temp dir itself";
}

TEST_F(SettingsLocationTest, LocatingCreatesTheConfigDirectoryAndKeepsAnExistingFile) {
  if (kWindowsFileSystem) GTEST_SKIP() << "the XDG rule; Windows has its own test below";
  // The test program's own directory holds no Korvanel.ini, so the configuration directory is used.
  EXPECT_EQ(ProgramDirectory(), fs::path(platform::ExecutablePath()).parent_path().string());
  ScopedEnv config("XDG_CONFIG_HOME", (dir_ / "deep/config").c_str());
  LocateSettingsFile();
  const std::string expected = dir_ / "deep/config/Korvanel/Korvanel.ini";
  EXPECT_EQ(SettingsPath(), expected);
  ASSERT_TRUE(fs::is_regular_file(expected));
  EXPECT_EQ(fs::file_size(expected), 0u);

  std::ofstream(expected) << "[Program]\nlng=4\n";
  LocateSettingsFile();
  EXPECT_EQ(ReadSettingInt("lng", 0), 4);

  ScopedEnv no_config("XDG_CONFIG_HOME", nullptr);
  ScopedEnv home("HOME", dir_.path().c_str());
  LocateSettingsFile();
  EXPECT_EQ(SettingsPath(), dir_ / ".config/Korvanel/Korvanel.ini");
  EXPECT_TRUE(fs::is_regular_file(SettingsPath()));
  SetSettingsPath("");
}

TEST_F(SettingsLocationTest, OnWindowsTheFileLivesInAppDataUnlessOneLiesBesideTheProgram) {
  if (!kWindowsFileSystem) GTEST_SKIP() << "Windows' rule";
  // %APPDATA% is the user's roaming application-data folder, which the program asks Windows for.
  const char* appdata = std::getenv("APPDATA");
  ASSERT_NE(appdata, nullptr);
  LocateSettingsFile();
  EXPECT_EQ(SettingsPath(), std::string(appdata) + "\\Korvanel\\Korvanel.ini");
  EXPECT_TRUE(fs::is_regular_file(PathFromUtf8(SettingsPath())));
  // An empty file beside the program takes over, unless the program runs from the temporary folder.
  const std::string beside = ProgramDirectory() + "\\Korvanel.ini";
  Touch(beside);
  LocateSettingsFile();
  EXPECT_EQ(SettingsPath(), beside);
  const std::string parent = Utf8FromPath(PathFromUtf8(ProgramDirectory()).parent_path());
  EXPECT_EQ(ChooseSettingsPath(ProgramDirectory(), parent, appdata),
            std::string(appdata) + "\\Korvanel\\Korvanel.ini");
  fs::remove(PathFromUtf8(beside));
  SetSettingsPath("");
}

TEST_F(SettingsLocationTest, FindingCreatesNothingButReadsAnExistingFile) {
  if (kWindowsFileSystem) GTEST_SKIP() << "the XDG rule";
  ScopedEnv config("XDG_CONFIG_HOME", (dir_ / "fresh/config").c_str());
  FindSettingsFile();
  const std::string expected = dir_ / "fresh/config/Korvanel/Korvanel.ini";
  EXPECT_EQ(SettingsPath(), expected);
  EXPECT_EQ(ReadSettingInt("lng", 7), 7);
  EXPECT_FALSE(fs::exists(dir_ / "fresh")) << "finding made the configuration directory";

  Touch(expected, "[Program]\nlng=3\n");
  SetSettingsPath("");
  FindSettingsFile();
  EXPECT_EQ(ReadSettingInt("lng", 7), 3);
  SetSettingsPath("");
}

}  // namespace
}  // namespace korvanel
