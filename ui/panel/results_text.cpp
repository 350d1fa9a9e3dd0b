#include "ui/panel/results_text.h"

#include "lang/languages.h"
#include "lang/text_ids.h"

namespace korvanel::panel {
namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \r\n") - first + 1);
}

// The summary's lines, each trimmed, joined by line feeds.
std::string SummaryLines(const std::string& summary) {
  std::string lines;
  size_t start = 0;
  while (start <= summary.size()) {
    size_t end = summary.find('\n', start);
    if (end == std::string::npos) end = summary.size();
    const std::string line = Trimmed(summary.substr(start, end - start));
    if (!line.empty()) lines += line + "\n";
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::string ResultsText(const ResultsTextInput& input) {
  const std::string read = Trimmed(GetText(kReadText));
  const std::string write = Trimmed(GetText(kWriteText));
  const auto row = [&](const std::string& label, const std::string& read_value, const std::string& write_value) {
    return label + ": " + read + " " + Trimmed(read_value) + ", " + write + " " + Trimmed(write_value) + "\n";
  };
  const ValueTexts& v = input.values;
  std::string text = input.title + "\n" + SummaryLines(input.drive_summary);
  if (!Trimmed(input.test_length).empty()) text += Trimmed(input.test_length) + "\n";
  text += row(Trimmed(GetText(kSequentialText)), v.seq_read, v.seq_write);
  text += row("4K", v.rnd4_read, v.rnd4_write);
  text += row("512K", v.rnd512_read, v.rnd512_write);
  text += row("64 X 4K", v.qd_read, v.qd_write);
  text += row(Trimmed(GetText(kAccessTimeText)), v.access_read, v.access_write);
  // The total rating is the sum of the other two.
  text += Trimmed(GetText(kBenchmarkText)) + ": " + read + " " + Trimmed(v.read_rating) + " + " + write + " " +
          Trimmed(v.write_rating) + " = " + Trimmed(v.total_rating) + "\n";
  if (!input.finish_time.empty()) text += input.finish_time + "\n";
  return text;
}

}  // namespace korvanel::panel
