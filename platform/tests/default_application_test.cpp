// This machine has no desktop, so a stand-in "xdg-open" script found first on PATH records how the
// real launcher starts it; everything else (fork, exec, environment) is the real thing.
#include "platform/default_application.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/testing/scratch.h"

namespace korvanel::platform {
namespace {

using korvanel::testing::ReadWholeFile;
using korvanel::testing::ScopedEnv;
using korvanel::testing::ScratchDir;

void WriteScript(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
  chmod(path.c_str(), 0755);
}

// Records where its standard output goes, then each argument followed by a NUL byte.
const char* const kRecordingOpener =
    "#!/bin/sh\n"
    "PATH=/usr/bin:/bin\n"
    "out=\"$(dirname \"$0\")/record\"\n"
    "stdout=$(readlink /proc/$$/fd/1)\n"
    "{ echo \"$stdout\"; printf '%s\\0' \"$@\"; } >\"$out.part\"\n"
    "mv \"$out.part\" \"$out\"\n";

std::string WaitForFile(const std::string& path) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return ReadWholeFile(path);
}

class OpenWithDefaultApplicationTest : public ::testing::Test {
 protected:
  ScratchDir bin_;
  ScopedEnv path_{"PATH", bin_.path().c_str()};
  ScopedEnv display_{"DISPLAY", ":99"};
};

TEST_F(OpenWithDefaultApplicationTest, PassesThePathAsOneArgumentWithoutAShell) {
  WriteScript(bin_ / "xdg-open", kRecordingOpener);
  const std::string page = bin_ / "my page $(touch injected); 'a' \"b\" *.html";

  const OpenOutcome outcome = OpenWithDefaultApplication(page);
  ASSERT_FALSE(outcome.error) << outcome.error.description;
  EXPECT_TRUE(outcome.launched);

  const std::string record = WaitForFile(bin_ / "record");
  EXPECT_EQ(record, "/dev/null\n" + page + std::string(1, '\0'));
  EXPECT_FALSE(std::filesystem::exists(bin_ / "injected"));
}

TEST_F(OpenWithDefaultApplicationTest, ReportsAMissingOrUnstartableOpener) {
  OpenOutcome outcome = OpenWithDefaultApplication("/tmp/page.html");
  EXPECT_EQ(outcome.error.code, ENOENT);
  EXPECT_FALSE(outcome.launched);

  WriteScript(bin_ / "xdg-open", "#!/nonexistent/interpreter\n");
  outcome = OpenWithDefaultApplication("/tmp/page.html");
  EXPECT_EQ(outcome.error.code, ENOENT);
  EXPECT_FALSE(outcome.launched);
}

TEST_F(OpenWithDefaultApplicationTest, StartsNothingWithoutAGraphicalSession) {
  WriteScript(bin_ / "xdg-open", kRecordingOpener);
  ScopedEnv no_x11("DISPLAY", nullptr);
  ScopedEnv empty_wayland("WAYLAND_DISPLAY", "");
  const OpenOutcome outcome = OpenWithDefaultApplication("/tmp/page.html");
  EXPECT_FALSE(outcome.error);
  EXPECT_FALSE(outcome.launched);
}

}  // namespace
}  // namespace korvanel::platform
