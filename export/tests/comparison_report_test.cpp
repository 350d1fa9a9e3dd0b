#include "export/comparison_report.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "common/testing/scratch.h"
#include "export/tests/sample_report_input.h"

namespace korvanel {
namespace {

using testing::EntryCount;
using testing::ReadWholeFile;
using testing::SampleReportInput;
using testing::ScratchDir;

void WriteText(const std::string& path, const std::string& text) { std::ofstream(PathFromUtf8(path)) << text; }

TEST(ReportFileTest, ReplacesAnOldPageInOneStep) {
  ScratchDir scratch;
  const std::string page = scratch / "report.html";
  WriteText(page, "old page");
  // A second name for the old file shows whether it was rewritten in place or replaced whole.
  std::filesystem::create_hard_link(PathFromUtf8(page), PathFromUtf8(scratch / "reader.html"));

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
  EXPECT_TRUE(WriteComparisonReportFile(page, input).Is(EINVAL));
  EXPECT_EQ(ReadWholeFile(page), "old page");

  input = SampleReportInput();
  EXPECT_TRUE(WriteComparisonReportFile(scratch / "missing/report.html", input).Is(ENOENT));

  ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(scratch / "taken")));
  const SysError into_directory = WriteComparisonReportFile(scratch / "taken", input);
  EXPECT_TRUE(into_directory.failed());
  EXPECT_FALSE(into_directory.description.empty());
  EXPECT_EQ(EntryCount(scratch.path()), 2u);
}

}  // namespace
}  // namespace korvanel
