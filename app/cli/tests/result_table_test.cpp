// The table at the end of a run: what it shows for measured and unmeasured values, how it fits a
// terminal, and what the notes under it say.
#include <gtest/gtest.h>

#include <sstream>

#include "results/measured_values.h"
#include "app/cli/result_table.h"
#include "app/cli/text_width.h"

namespace korvanel::cli {
namespace {

// "." as the decimal separator, whatever the machine's locale.
class PointLocale : public platform::UserLocale {
 public:
  platform::NumberConventions Numbers() const override { return {}; }
  platform::DateTimePatterns DateTime() const override { return {}; }
  std::string FormatLocalTime(const std::string&, std::time_t) const override { return ""; }
};

BenchResults FullRun() {
  BenchResults r;
  r.SR = 2378.123;
  r.SW = 4112.5;
  r.RR4KB = 60.4;
  r.RW4KB = 63.1;
  r.RR512KB = 2018;
  r.RW512KB = 3400;
  r.RR4KB64QD = 295.8;
  r.RW4KB64QD = 329.4;
  r.RR = r.RR4KB;
  r.RW = r.RW4KB;
  return r;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

size_t Widest(const std::string& text) {
  size_t widest = 0;
  for (const std::string& line : Lines(text)) widest = std::max(widest, DisplayWidth(line));
  return widest;
}

TEST(ShownValues, WhatWasNotMeasuredShowsADashAndNoRatingIsPartial) {
  const PointLocale locale;
  const ValueTexts full = ShownValueTexts(FullRun(), locale);
  EXPECT_EQ(full.seq_read, "2378.12 MB/s ");
  EXPECT_EQ(full.access_read, "0.0678 ms. ");
  EXPECT_EQ(full.total_rating, "8546.2");
  EXPECT_FALSE(AnythingUnmeasured(FullRun()));

  // --test access: the 4K row stays unmeasured although the same 4 KB rates give the access time.
  BenchResults access;
  access.RR = 30;
  access.RW = 40.96;
  const ValueTexts a = ShownValueTexts(access, locale);
  EXPECT_EQ(a.rnd4_read, "-");
  EXPECT_EQ(a.rnd4_write, "-");
  EXPECT_EQ(a.access_read, "0.1365 ms. ");
  EXPECT_EQ(a.access_write, "0.1000 ms. ");
  EXPECT_EQ(a.read_rating, "-");
  EXPECT_EQ(a.total_rating, "-");

  // Stopped during the queued write: reads complete, writes not; no total.
  BenchResults stopped = FullRun();
  stopped.RW4KB64QD = 0;
  const MeasuredRatings ratings = RatingsOfMeasured(stopped);
  EXPECT_TRUE(ratings.read.has_value());
  EXPECT_FALSE(ratings.write.has_value());
  EXPECT_FALSE(ratings.total.has_value());
  EXPECT_EQ(ShownValueTexts(stopped, locale).qd_write, "-");
  EXPECT_TRUE(AnythingUnmeasured(stopped));
}

TEST(ResultsTable, ShowsThePanelRowsWithTheTotalBesideTheRatings) {
  const TableNotes notes{RunState::kCompleted, false, "08/12/26 10:00:00"};
  const std::string table = ResultsTable(ShownValueTexts(FullRun(), PointLocale()), PanelLabels{}, notes, std::nullopt);
  EXPECT_EQ(table,
            "             Read          Write\n"
            "Sequential   2378.12 MB/s  4112.50 MB/s\n"
            "4K           60.40 MB/s    63.10 MB/s\n"
            "512K         2018.00 MB/s  3400.00 MB/s\n"
            "64 X 4K      295.80 MB/s   329.40 MB/s\n"
            "Access time  0.0678 ms.    0.0649 ms.\n"
            "Benchmark    3169.5        5376.7         (8546.2)\n"
            "08/12/26 10:00:00\n" +
                std::string(kUnitNote) + "\n");
}

TEST(ResultsTable, FitsFortyColumnsAndNarrowerTerminals) {
  const ValueTexts texts = ShownValueTexts(FullRun(), PointLocale());
  const TableNotes notes{RunState::kCompleted, false, "08/12/26 10:00:00"};
  // At 40 columns the total moves under Write; the rows stay as they are.
  const std::string forty = ResultsTable(texts, PanelLabels{}, notes, 40);
  EXPECT_LE(Widest(forty), 40u) << forty;
  const std::vector<std::string> lines = Lines(forty);
  EXPECT_EQ(lines[1], "Sequential   2378.12 MB/s  4112.50 MB/s");
  EXPECT_EQ(lines[6], "Benchmark    3169.5        5376.7");
  EXPECT_EQ(lines[7], "                           (8546.2)");
  // Narrower still: each row's values go under it.
  const std::string narrow = ResultsTable(texts, PanelLabels{}, notes, 24);
  EXPECT_LE(Widest(narrow), 24u) << narrow;
  EXPECT_NE(narrow.find("Sequential\n  Read   2378.12 MB/s\n  Write  4112.50 MB/s\n"), std::string::npos) << narrow;
  // Wide labels (Chinese takes two columns a character) are measured by their columns.
  PanelLabels chinese;
  chinese.access_time = "访问时间访问时间";
  chinese.read = "读取";
  const std::string wide = ResultsTable(texts, chinese, notes, 40);
  EXPECT_LE(Widest(wide), 40u) << wide;
}

TEST(ResultsTable, NotesSayWhatADashMeansAndThatARunWasStopped) {
  BenchResults partial;
  partial.SR = 100;
  const ValueTexts texts = ShownValueTexts(partial, PointLocale());
  const std::string stopped = ResultsTable(texts, PanelLabels{}, {RunState::kStopped, true, ""}, std::nullopt);
  EXPECT_NE(stopped.find("Sequential   100.00 MB/s  -\n"), std::string::npos) << stopped;
  EXPECT_NE(stopped.find("Benchmark    -            -  "), std::string::npos) << stopped;
  EXPECT_NE(stopped.find("Stopped before the end"), std::string::npos);
  const std::string single = ResultsTable(texts, PanelLabels{}, {RunState::kCompleted, true, ""}, std::nullopt);
  EXPECT_EQ(single.find("Stopped"), std::string::npos);
  EXPECT_NE(single.find("\"-\" marks what this run did not measure."), std::string::npos);
  // The unit note closes every table, wrapped to the terminal.
  const std::string narrow = ResultsTable(texts, PanelLabels{}, {RunState::kCompleted, true, ""}, 30);
  EXPECT_LE(Widest(narrow), 30u) << narrow;
  EXPECT_NE(narrow.find("0.977 MiB/s)."), std::string::npos);
}

TEST(TextWidth, CountsColumnsAndWrapsAtBlanks) {
  EXPECT_EQ(DisplayWidth("Zugriffszeit"), 12u);
  EXPECT_EQ(DisplayWidth("Ελληνικά"), 8u);
  EXPECT_EQ(DisplayWidth("访问时间"), 8u);
  EXPECT_EQ(DisplayWidth("액세스"), 6u);
  EXPECT_EQ(FitToWidth("访问时间", 5), "访问");
  EXPECT_EQ(PadToWidth("读取", 6), "读取  ");
  EXPECT_EQ(WrapWords("one two three four", 9), (std::vector<std::string>{"one two", "three", "four"}));
  EXPECT_EQ(WrapWords("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
  // A character wider than the line goes on a line of its own: every wrap makes progress.
  EXPECT_EQ(WrapWords("访问 x时", 1), (std::vector<std::string>{"访", "问", "x", "时"}));
  EXPECT_EQ(WrapWords("ab", 0), (std::vector<std::string>{"a", "b"}));
}

TEST(ResultsTable, EndsInAOneColumnTerminalWithWideLabelsAndDate) {
  PanelLabels japanese;
  japanese.read = "読み込み";
  japanese.sequential = "シーケンシャル";
  const TableNotes notes{RunState::kCompleted, true, "2026年08月12日 10:00:00"};
  const std::string table = ResultsTable(ShownValueTexts(FullRun(), PointLocale()), japanese, notes, 1);
  EXPECT_LT(table.size(), 4000u);
  EXPECT_NE(table.find("年\n"), std::string::npos) << table;
}

TEST(ResultsTable, ShowsControlCharactersOfATranslationEscaped) {
  // A loaded translation could otherwise retitle the terminal, clear it or make it answer.
  PanelLabels hostile;
  hostile.read = "Read\x1b]0;owned\x07";
  hostile.sequential = "Seq\x1b[2J\x1b[6n";
  hostile.benchmark = "Bench\rmark";
  const TableNotes notes{RunState::kCompleted, false, "12.08.26 10:00\x1b[5m"};
  for (const std::optional<size_t> width : {std::optional<size_t>(), std::optional<size_t>(40), std::optional<size_t>(12)}) {
    const std::string table = ResultsTable(ShownValueTexts(FullRun(), PointLocale()), hostile, notes, width);
    EXPECT_EQ(table.find_first_of("\x1b\x07\r"), std::string::npos) << table;
    if (width) {
      EXPECT_LE(Widest(table), *width) << table;
    }
  }
  const std::string table = ResultsTable(ShownValueTexts(FullRun(), PointLocale()), hostile, notes, 80);
  EXPECT_NE(table.find("Seq\\x1B[2J\\x1B[6n  2378.12 MB/s"), std::string::npos) << table;
  EXPECT_NE(table.find("12.08.26 10:00\\x1B[5m"), std::string::npos) << table;
}

}  // namespace
}  // namespace korvanel::cli
