#pragma once
// What korvanel-cli prints at the end: the panel's values as a table, or the rates as JSON.

#include <string>

#include "drives/drive_entry.h"
#include "engine/bench_results.h"
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

// Read and Write columns with the five rows, the three ratings, and the finish time.
std::string ResultsTable(const ValueTexts& texts, const PanelLabels& labels, const std::string& finish_time);

// The ten rates under their report keys, with the test id, the test length and, when known, the
// drive's description.
std::string ResultsJson(const BenchResults& results, int test_id, int test_time, const DriveEntry* drive);

}  // namespace korvanel::cli
