#pragma once
// What korvanel-cli prints at the end of a run that did not fail: the panel's values as a table,
// fitted to the terminal's width, with notes on what "-" and the unit mean.

#include <optional>
#include <string>

#include "app/cli/run_record.h"
#include "results/value_texts.h"

namespace korvanel::cli {

// The panel's labels, in English; LanguagePanelLabels() has them in the current language.
struct PanelLabels {
  std::string read = "Read";
  std::string write = "Write";
  std::string sequential = "Sequential";
  std::string random_4k = "4K";
  std::string random_512k = "512K";
  std::string queued = "64 X 4K";
  std::string access_time = "Access time ";
  std::string benchmark = "Benchmark ";
};

PanelLabels LanguagePanelLabels();

// What the lines under the table say.
struct TableNotes {
  RunState state = RunState::kCompleted;
  bool has_unmeasured = false;  // some value shows "-"
  std::string finish_time;      // in the user's date and time format
};

// The unit note under the table: what the panel's "MB/s" is in other units.
extern const char* const kUnitNote;

// Read and Write columns with the five rows and the three ratings, then the notes. Within `width`
// columns when given: the total rating moves to a line of its own, and where even the rows do not
// fit, each row's values are listed under it.
std::string ResultsTable(const ValueTexts& texts, const PanelLabels& labels, const TableNotes& notes,
                         std::optional<size_t> width);

}  // namespace korvanel::cli
