// The progress display: the line's layout at every width, and what the host writes to a terminal
// that is resized, or to one that cannot rewrite a line.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "app/cli/cli_host.h"
#include "app/cli/text_width.h"

namespace korvanel::cli {
namespace {

TEST(ProgressLine, CountsDownTheWindowsLeft) {
  // Quick full run: 16 windows of 600 ms.
  EXPECT_EQ(ProgressLine(0, 16, 600, 0, "... Initialize ", 79), "[--------------------]   0%  0:10 left  ... Initialize ");
  // The eighth window has just opened: seven are done.
  EXPECT_EQ(ProgressLine(8, 16, 600, 600, "Random Read 4KB 1/1", 79),
            "[########------------]  43%  0:06 left  Random Read 4KB 1/1");
  EXPECT_EQ(ProgressLine(8, 16, 600, 0, "", 79).substr(0, 39), "[##########----------]  50%  0:05 left ");
  EXPECT_EQ(ProgressLine(16, 16, 600, 0, "", 79), "[####################] 100%  0:00 left  ");
  // More windows than planned (the access-time rerun) never goes past the end.
  EXPECT_EQ(ProgressLine(18, 16, 600, 0, "", 79).substr(0, 28), "[####################] 100% ");
}

TEST(ProgressLine, NarrowTerminalsKeepTheTimeAndTheStatusBeforeTheBar) {
  // 40 columns leave 39 for the line: the bar goes, the rest fits whole.
  EXPECT_EQ(ProgressLine(8, 16, 600, 600, "Random Read 4KB 1/1", 39), " 43%  0:06 left  Random Read 4KB 1/1");
  // Between, the bar shrinks.
  EXPECT_EQ(ProgressLine(8, 16, 600, 0, "x", 55).substr(0, 13), "[#####-----] ");
  for (size_t width : {10u, 25u, 39u, 50u, 64u, 79u, 120u}) {
    const std::string line = ProgressLine(3, 16, 600, 300, "Random Write ... Initialize  512KB", width);
    EXPECT_LE(DisplayWidth(line), width) << line;
  }
}

TEST(ProgressLine, CutsLongStatusesOnCharacterBoundaries) {
  const std::string line = ProgressLine(1, 4, 1000, 500, std::string(60, 'x') + "ü", 100);
  EXPECT_EQ(line.size(), 40u + 60u);  // the two-byte "ü" does not fit whole, so it goes
  // Chinese characters take two columns each: 39 columns hold the head (17) and 11 of them.
  const std::string chinese = ProgressLine(8, 16, 600, 600, "顺序读取顺序读取顺序读取顺序读取", 39);
  EXPECT_EQ(DisplayWidth(chinese), 39u);
  EXPECT_EQ(chinese.size(), 17u + 11u * 3u);
}

// A host whose progress goes to a temporary file, at a width the test sets.
class HostOutput : public ::testing::Test {
 protected:
  std::string Written() {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    for (int c; (c = std::fgetc(file_)) != EOF;) text += static_cast<char>(c);
    return text;
  }
  // Runs `work` on the loop's thread, as the engine's messages do.
  void OnLoop(CliHost& host, const std::function<void(CliHost&)>& work) {
    bool done = false;
    loop_.Post([&] {
      work(host);
      done = true;
    });
    loop_.Run([&] { return done; }, [] {});
  }

  std::FILE* file_ = std::tmpfile();
  MainLoop loop_;
  int columns_ = 80;
};

TEST_F(HostOutput, ARewritableTerminalGetsOneLineThatFollowsAResize) {
  ProgressTerminal terminal{file_, true, [this] { return std::optional<int>(columns_); }};
  CliHost host(loop_, terminal);
  host.PlanRun(16, 600);
  OnLoop(host, [](CliHost& h) { h.PostStatus("Sequential Read 1/1"); });
  const std::string wide = Written();
  EXPECT_EQ(wide.find('\n'), std::string::npos) << "a status update must not add a line";
  // The line took 59 of 79 columns; the window shrinks to 25: a reflowing terminal has wrapped it
  // onto 3 rows, so the redraw goes up 2 rows and clears to the end of the screen.
  EXPECT_EQ(DisplayWidth(wide.substr(wide.find("[--"))), 59u);
  columns_ = 25;
  OnLoop(host, [](CliHost& h) { h.DrawProgress(); });
  const std::string narrow = Written().substr(wide.size());
  EXPECT_EQ(narrow.rfind("\x1b[2A\r\x1b[J", 0), 0u) << narrow;
  const std::string line = narrow.substr(narrow.find("\x1b[J") + 3);
  EXPECT_LE(DisplayWidth(line), 24u) << line;
  // At the same width the next redraw stays on its row.
  OnLoop(host, [](CliHost& h) { h.FinishProgress(); });
  EXPECT_EQ(Written().substr(wide.size() + narrow.size()), "\r\x1b[K");
}

TEST_F(HostOutput, APipeOrADumbTerminalGetsPlainLines) {
  ProgressTerminal terminal{file_, false, [] { return std::optional<int>(40); }};
  CliHost host(loop_, terminal);
  host.PlanRun(16, 600);
  OnLoop(host, [](CliHost& h) {
    h.PostStatus("Sequential Read 1/1");
    h.DrawProgress();
    h.PostStatus("Sequential Write 1/1");
    h.Announce("Stopping after the current pass");
    h.FinishProgress();
  });
  // Nothing but whole lines: no carriage return, no escape sequence. (The statuses arrive after
  // the announcement, which was made on the loop's thread.)
  EXPECT_EQ(Written(), "Stopping after the current pass\nSequential Read 1/1\nSequential Write 1/1\n");
}

TEST_F(HostOutput, TextsFromOutsideReachTheTerminalEscaped) {
  // Paths and a loaded translation's texts could retitle the terminal, clear it or make it answer;
  // the error box's CR LF still becomes a line break.
  ProgressTerminal terminal{file_, false, [] { return std::nullopt; }};
  CliHost host(loop_, terminal);
  std::thread worker([&] {
    host.PostStatus("Lesen\x1b]0;owned\x07 1/1");
    host.PostNotice("Lesen 1/1 was paused\x1b[2J");
    host.ShowError("Disk is Full\r\nLeft by an earlier run? /mnt/a\x1b[6n/Korvanel00000001 holds 9 MiB",
                   "checking the free space in /mnt/a\x1b[6n\r: 1 MiB free, 100 MiB needed");
  });
  loop_.Run([&] { return host.failures().size() == 1; }, [] {});
  worker.join();
  EXPECT_EQ(Written(),
            "Lesen\\x1B]0;owned\\x07 1/1\n"
            "Lesen 1/1 was paused\\x1B[2J\n"
            "korvanel-cli: Disk is Full\n"
            "Left by an earlier run? /mnt/a\\x1B[6n/Korvanel00000001 holds 9 MiB\n"
            "korvanel-cli: failed while checking the free space in /mnt/a\\x1B[6n\\x0D: 1 MiB free, 100 MiB needed\n");
  // A terminal that rewrites its line gets only the program's own sequences.
  std::FILE* rewritable = std::tmpfile();
  CliHost line_host(loop_, ProgressTerminal{rewritable, true, [] { return std::optional<int>(200); }});
  OnLoop(line_host, [](CliHost& h) { h.PostStatus("Lesen\x1b]0;owned\x07 1/1"); });
  file_ = rewritable;
  const std::string line = Written();
  EXPECT_EQ(line.rfind("\r\x1b[K", 0), 0u) << line;
  EXPECT_EQ(line.find('\x1b', 4), std::string::npos) << line;
  EXPECT_EQ(line.find('\x07'), std::string::npos) << line;
}

TEST_F(HostOutput, ErrorsKeepTheBoxTextAndSayWhatFailedWhere) {
  ProgressTerminal terminal{file_, false, [] { return std::nullopt; }};
  CliHost host(loop_, terminal);
  std::thread worker([&] {
    host.ShowError("File Create Error\r\n0x00000001:Operation not permitted",
                   "creating the test directory /sys/Korvanel0000ABCD");
    host.ShowError("Disk-Full", "");
  });
  loop_.Run([&] { return host.failures().size() == 2; }, [] {});
  worker.join();
  ASSERT_EQ(host.failures().size(), 2u);
  EXPECT_EQ(host.failures()[0].text, "File Create Error\n0x00000001:Operation not permitted");
  EXPECT_EQ(host.failures()[0].what_failed, "creating the test directory /sys/Korvanel0000ABCD");
  EXPECT_EQ(host.failures()[1].what_failed, "");
}

}  // namespace
}  // namespace korvanel::cli
