// Stand-in tools on PATH record how they are started (see recording_program.h).
#include "platform/system_tools.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "common/testing/scratch.h"
#include "platform/tests/recording_program.h"

namespace korvanel::platform {
namespace {

using korvanel::testing::ScopedEnv;
using korvanel::testing::ScratchDir;
using korvanel::testing::WaitForFile;
using korvanel::testing::WriteScript;

class SystemToolsTest : public ::testing::Test {
 protected:
  ScratchDir bin_;
  ScopedEnv path_{"PATH", bin_.path().c_str()};
};

TEST_F(SystemToolsTest, OffersOnlyToolsThatAreInstalled) {
  EXPECT_FALSE(HasSystemTool(SystemTool::kDiskManagement));
  EXPECT_EQ(StartSystemTool(SystemTool::kDiskManagement).code, ENOENT);

  WriteScript(bin_ / "gparted", korvanel::testing::kRecordingProgram);
  EXPECT_TRUE(HasSystemTool(SystemTool::kDiskManagement));
  EXPECT_FALSE(HasSystemTool(SystemTool::kTaskManager));
  // Nothing stands for the drive optimiser here, whatever is installed.
  EXPECT_FALSE(HasSystemTool(SystemTool::kDriveOptimizer));
}

TEST_F(SystemToolsTest, StartsTheFirstInstalledProgramWithTheFileAsOneArgument) {
  // Both are paint programs; the one earlier in the list wins.
  WriteScript(bin_ / "gimp", "#!/bin/sh\ntouch \"$(dirname \"$0\")/gimp-ran\"\n");
  WriteScript(bin_ / "pinta", korvanel::testing::kRecordingProgram);
  const std::string picture = bin_ / "Korvanel_tmp $(touch injected).png";

  const SysError error = StartSystemTool(SystemTool::kPictureEditor, picture);
  ASSERT_FALSE(error) << error.description;
  EXPECT_EQ(WaitForFile(bin_ / "record"), "/dev/null\n" + picture + std::string(1, '\0'));
  EXPECT_FALSE(std::filesystem::exists(bin_ / "gimp-ran"));
  EXPECT_FALSE(std::filesystem::exists(bin_ / "injected"));
}

TEST_F(SystemToolsTest, AToolThatCannotStartIsReported) {
  WriteScript(bin_ / "gnome-system-monitor", "#!/nonexistent/interpreter\n");
  EXPECT_EQ(StartSystemTool(SystemTool::kTaskManager).code, ENOENT);
}

}  // namespace
}  // namespace korvanel::platform
