#include "export/comparison_report.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include "export/tests/sample_report_input.h"
#include "common/testing/scratch.h"

namespace korvanel {
namespace {

using testing::EntryCount;
using testing::ReadWholeFile;
using testing::SampleReportInput;
using testing::ScopedEnv;
using testing::ScratchDir;

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

TEST(ReportFileTest, ReplacesAnOldPageInOneStep) {
  ScratchDir scratch;
  const std::string page = scratch / "report.html";
  WriteText(page, "old page");
  // A second name for the old file shows whether it was rewritten in place or replaced whole.
  ASSERT_EQ(link(page.c_str(), (scratch / "reader.html").c_str()), 0);

  const ComparisonReportInput input = SampleReportInput();
  ASSERT_FALSE(WriteComparisonReportFile(page, input));

  EXPECT_EQ(ReadWholeFile(page), BuildComparisonReportPage(input));
  EXPECT_EQ(ReadWholeFile(scratch / "reader.html"), "old page");
  EXPECT_EQ(EntryCount(scratch.path()), 2u);  // no temporary file left behind
}

TEST(ReportFileTest, FailuresLeaveTheOldPageAndNoTemporaryFile) {
  ScratchDir scratch;
  const std::string page = scratch / "report.html";
  WriteText(page, "old page");

  ComparisonReportInput input = SampleReportInput();
  input.site_address = "javascript:alert(1)//";
  EXPECT_EQ(WriteComparisonReportFile(page, input).code, EINVAL);
  EXPECT_EQ(ReadWholeFile(page), "old page");

  input = SampleReportInput();
  EXPECT_EQ(WriteComparisonReportFile(scratch / "missing/report.html", input).code, ENOENT);

  ASSERT_EQ(mkdir((scratch / "taken").c_str(), 0700), 0);
  const SysError into_directory = WriteComparisonReportFile(scratch / "taken", input);
  EXPECT_TRUE(into_directory.failed());
  EXPECT_FALSE(into_directory.description.empty());
  EXPECT_EQ(EntryCount(scratch.path()), 2u);
}

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
