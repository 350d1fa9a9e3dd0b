// The report page in the private temporary directory under $XDG_RUNTIME_DIR, and the opener that
// only starts on a desktop.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include "common/testing/scratch.h"
#include "export/comparison_report.h"
#include "export/tests/sample_report_input.h"

namespace korvanel {
namespace {

using testing::ReadWholeFile;
using testing::SampleReportInput;
using testing::ScopedEnv;
using testing::ScratchDir;

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

class ReportInTempDirectoryTest : public ::testing::Test {
 protected:
  ScratchDir runtime_;
  ScopedEnv runtime_env_{"XDG_RUNTIME_DIR", runtime_.path().c_str()};
  std::string expected_page_ = runtime_ / "korvanel/korvanel_tmp.html";
};

TEST_F(ReportInTempDirectoryTest, WritesThePrivatePageAndOpensIt) {
  std::vector<std::string> opened;
  const auto record = [&](const std::string& path) {
    opened.push_back(path);
    return platform::OpenOutcome{true, {}};
  };
  const ComparisonReportInput input = SampleReportInput();
  const ComparisonReportOutcome outcome = WriteComparisonReport(input, record);

  EXPECT_FALSE(outcome.error) << outcome.error.description;
  EXPECT_TRUE(outcome.opened);
  EXPECT_EQ(outcome.page_path, expected_page_);
  EXPECT_EQ(opened, std::vector<std::string>{expected_page_});
  EXPECT_EQ(ReadWholeFile(expected_page_), BuildComparisonReportPage(input));
}

TEST_F(ReportInTempDirectoryTest, AnUnwrittenPageIsNeverOpened) {
  ASSERT_EQ(mkdir((runtime_ / "korvanel").c_str(), 0700), 0);
  WriteText(expected_page_, "older results");

  bool opened = false;
  ComparisonReportInput input = SampleReportInput();
  input.site_address = "file:///etc/";
  const ComparisonReportOutcome outcome = WriteComparisonReport(input, [&](const std::string&) {
    opened = true;
    return platform::OpenOutcome{true, {}};
  });

  EXPECT_EQ(outcome.error.code, EINVAL);
  EXPECT_TRUE(outcome.page_path.empty());
  EXPECT_FALSE(opened);
  EXPECT_EQ(ReadWholeFile(expected_page_), "older results");
}

TEST_F(ReportInTempDirectoryTest, WithoutADesktopThePageIsWrittenButNothingStarts) {
  ScopedEnv no_x11("DISPLAY", nullptr);
  ScopedEnv no_wayland("WAYLAND_DISPLAY", nullptr);
  const ComparisonReportOutcome outcome = WriteComparisonReport(SampleReportInput());
  EXPECT_FALSE(outcome.error) << outcome.error.description;
  EXPECT_FALSE(outcome.opened);
  EXPECT_EQ(outcome.page_path, expected_page_);
}

}  // namespace
}  // namespace korvanel
