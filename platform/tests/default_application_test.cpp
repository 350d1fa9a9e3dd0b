// A stand-in "xdg-open" records how the real launcher starts it (see recording_program.h).
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
#include "platform/tests/recording_program.h"

namespace korvanel::platform {
namespace {

using korvanel::testing::ReadWholeFile;
using korvanel::testing::ScopedEnv;
using korvanel::testing::ScratchDir;
using korvanel::testing::WaitForFile;
using korvanel::testing::WriteScript;

class OpenWithDefaultApplicationTest : public ::testing::Test {
 protected:
  ScratchDir bin_;
  ScopedEnv path_{"PATH", bin_.path().c_str()};
  ScopedEnv display_{"DISPLAY", ":99"};
};

TEST_F(OpenWithDefaultApplicationTest, PassesThePathAsOneArgumentWithoutAShell) {
  WriteScript(bin_ / "xdg-open", korvanel::testing::kRecordingProgram);
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
  WriteScript(bin_ / "xdg-open", korvanel::testing::kRecordingProgram);
  ScopedEnv no_x11("DISPLAY", nullptr);
  ScopedEnv empty_wayland("WAYLAND_DISPLAY", "");
  const OpenOutcome outcome = OpenWithDefaultApplication("/tmp/page.html");
  EXPECT_FALSE(outcome.error);
  EXPECT_FALSE(outcome.launched);
}

TEST_F(OpenWithDefaultApplicationTest, HandsWebAddressesOverUnchangedAndRefusesEverythingElse) {
  WriteScript(bin_ / "xdg-open", korvanel::testing::kRecordingProgram);
  const std::string page = "https://korvanel.example/?paypal&item_name=Freeware Quenlidart Korvanel&Program=Korvanel";
  const OpenOutcome outcome = OpenWebPage(page);
  ASSERT_FALSE(outcome.error) << outcome.error.description;
  EXPECT_EQ(WaitForFile(bin_ / "record"), "/dev/null\n" + page + std::string(1, '\0'));

  // A relative name or another scheme could open a local file or pass an option.
  for (const char* refused : {"/etc/passwd", "file:///etc/passwd", "--help", "javascript:alert(1)"}) {
    const OpenOutcome no = OpenWebPage(refused);
    EXPECT_EQ(no.error.code, EINVAL) << refused;
    EXPECT_FALSE(no.launched) << refused;
  }
}

}  // namespace
}  // namespace korvanel::platform
