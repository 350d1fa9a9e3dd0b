#pragma once
// The results as plain text, the way people paste a benchmark into a forum or a bug report.

#include <string>

#include "results/value_texts.h"

namespace korvanel::panel {

struct ResultsTextInput {
  std::string title;          // program, version and system
  std::string drive_summary;  // the summary box's text (CR LF between its lines)
  std::string test_length;    // the size list's entry
  ValueTexts values;          // as the panel shows them
  std::string finish_time;    // date and time of the run
};

// Title, drive, test length, one line per row with the read and write values, the ratings and the
// time; labels in the current language.
std::string ResultsText(const ResultsTextInput& input);

}  // namespace korvanel::panel
