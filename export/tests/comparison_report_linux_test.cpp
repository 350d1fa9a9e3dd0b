// The report page in a shared directory and in the private temporary directory under
// $XDG_RUNTIME_DIR, and the opener that only starts on a desktop.

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/testing/scratch.h"
#include "export/comparison_report.h"
#include "export/tests/sample_report_input.h"

namespace korvanel {
namespace {

using testing::EntryCount;
using testing::ReadWholeFile;
using testing::SampleReportInput;
using testing::ScopedEnv;
using testing::ScratchDir;

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// Another user may place anything at the page's path in a shared directory such as /tmp. The
// page is written only in place of nothing or of a regular file of our own; everything else is
// refused with a reason and left exactly as it was.
class ReportFileInSharedDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(mkdir(shared_.c_str(), 0700), 0);
    ASSERT_EQ(chmod(shared_.c_str(), 01777), 0);
  }
  void ExpectRefusedAndNothingLeft(const SysError& error, const std::string& reason) {
    EXPECT_TRUE(error.failed());
    EXPECT_NE(error.description.find(reason), std::string::npos) << error.description;
    EXPECT_EQ(EntryCount(shared_), 1u) << "a temporary file was left";
  }

  ScratchDir scratch_;
  std::string shared_ = scratch_ / "shared";
  std::string page_ = shared_ + "/report.html";
};

TEST_F(ReportFileInSharedDirectoryTest, RefusesAFifoAndADeviceAndLeavesThemAsTheyAre) {
  ASSERT_EQ(mkfifo(page_.c_str(), 0666), 0);
  ExpectRefusedAndNothingLeft(WriteComparisonReportFile(page_, SampleReportInput()), "not a regular file");
  struct stat info{};
  ASSERT_EQ(lstat(page_.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));

  if (geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
  ASSERT_EQ(unlink(page_.c_str()), 0);
  ASSERT_EQ(mknod(page_.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);  // what /dev/null is
  ASSERT_EQ(chmod(page_.c_str(), 0666), 0);
  ExpectRefusedAndNothingLeft(WriteComparisonReportFile(page_, SampleReportInput()), "not a regular file");
  ASSERT_EQ(lstat(page_.c_str(), &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
  EXPECT_EQ(info.st_mode & 07777, 0666u);
}

TEST_F(ReportFileInSharedDirectoryTest, NeverWritesThroughAnotherUsersLink) {
  if (geteuid() != 0) GTEST_SKIP() << "a link of another user needs root to make";
  const std::string victim = scratch_ / "victim.conf";  // a file of ours that the link points to
  WriteText(victim, "precious");
  ASSERT_EQ(symlink(victim.c_str(), page_.c_str()), 0);
  ASSERT_EQ(lchown(page_.c_str(), testing::kOtherUser, testing::kOtherUser), 0);

  ExpectRefusedAndNothingLeft(WriteComparisonReportFile(page_, SampleReportInput()), "symbolic link");
  EXPECT_EQ(ReadWholeFile(victim), "precious");
  struct stat info{};
  ASSERT_EQ(lstat(page_.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST_F(ReportFileInSharedDirectoryTest, NeverTakesOverAnotherUsersFile) {
  if (geteuid() != 0) GTEST_SKIP() << "a file of another user needs root to make";
  WriteText(page_, "theirs");
  ASSERT_EQ(chown(page_.c_str(), testing::kOtherUser, testing::kOtherUser), 0);
  ASSERT_EQ(chmod(page_.c_str(), 0640), 0);

  ExpectRefusedAndNothingLeft(WriteComparisonReportFile(page_, SampleReportInput()), "another user");
  EXPECT_EQ(ReadWholeFile(page_), "theirs");
  struct stat info{};
  ASSERT_EQ(stat(page_.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, testing::kOtherUser);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
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

TEST_F(ReportInTempDirectoryTest, ARuntimeDirectoryOthersCouldRearrangeIsNotUsed) {
  ScratchDir temp;
  ScopedEnv temp_env("TMPDIR", temp.path().c_str());
  const std::string fallback_page = temp / ("korvanel-" + std::to_string(geteuid()) + "/korvanel_tmp.html");
  const auto ignore = [](const std::string&) { return platform::OpenOutcome{}; };

  // Anyone may rename what lies in a runtime directory open to everyone's writes.
  ASSERT_EQ(chmod(runtime_.path().c_str(), 0777), 0);
  ComparisonReportOutcome outcome = WriteComparisonReport(SampleReportInput(), ignore);
  EXPECT_FALSE(outcome.error) << outcome.error.description;
  EXPECT_EQ(outcome.page_path, fallback_page);
  EXPECT_EQ(EntryCount(runtime_.path()), 0u);

  if (geteuid() != 0) GTEST_SKIP() << "a runtime directory of another user needs root to make";
  ASSERT_EQ(chmod(runtime_.path().c_str(), 0700), 0);
  ASSERT_EQ(chown(runtime_.path().c_str(), testing::kOtherUser, testing::kOtherUser), 0);
  outcome = WriteComparisonReport(SampleReportInput(), ignore);
  EXPECT_EQ(outcome.page_path, fallback_page);
  EXPECT_EQ(EntryCount(runtime_.path()), 0u);
}

// Someone who may rename entries of the runtime directory (here a second thread of ours) swaps the
// private directory for a link to another directory again and again while pages are written.
// Each page lands in the private directory or is refused; nothing is written through the link.
TEST_F(ReportInTempDirectoryTest, ASwappedPrivateDirectoryNeverRedirectsThePage) {
  const auto ignore = [](const std::string&) { return platform::OpenOutcome{}; };
  ASSERT_FALSE(WriteComparisonReport(SampleReportInput(), ignore).error);
  ScratchDir victim;
  const std::string private_dir = runtime_ / "korvanel";
  const std::string moved = runtime_ / "korvanel.moved";
  std::atomic<bool> stop{false};
  std::atomic<int> swaps{0};
  std::thread swapper([&] {
    while (!stop.load()) {
      if (rename(private_dir.c_str(), moved.c_str()) != 0) continue;
      if (symlink(victim.path().c_str(), private_dir.c_str()) == 0) {
        ++swaps;
        sched_yield();
        unlink(private_dir.c_str());
      }
      rename(moved.c_str(), private_dir.c_str());
    }
  });
  int written = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (std::chrono::steady_clock::now() < deadline && EntryCount(victim.path()) == 0) {
    written += WriteComparisonReport(SampleReportInput(), ignore).error ? 0 : 1;
  }
  stop.store(true);
  swapper.join();
  EXPECT_GT(swaps.load(), 0);
  EXPECT_GT(written, 0);
  EXPECT_EQ(EntryCount(victim.path()), 0u) << "a page was written through the link";
}

}  // namespace
}  // namespace korvanel
