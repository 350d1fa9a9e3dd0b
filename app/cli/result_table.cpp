#include "app/cli/result_table.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "app/cli/text_width.h"
#include "common/display_text.h"
#include "lang/languages.h"
#include "lang/text_ids.h"

namespace korvanel::cli {
namespace {

constexpr size_t kGap = 2;  // blanks between columns

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

struct Row {
  std::string label, read, write;
};

struct Table {
  std::string read_heading, write_heading;
  std::vector<Row> rows;  // the five value rows, then the ratings
  std::string total;      // the total rating, "(123.4)"
};

// A label or value as the terminal shows it: a loaded translation's control characters escaped
// (and measured as what is shown), the panel's padding blanks gone.
std::string Shown(const std::string& text) { return Trimmed(EscapeControlCharacters(text)); }

Table MakeTable(const ValueTexts& t, const PanelLabels& labels) {
  Table table{Shown(labels.read), Shown(labels.write), {}, "(" + Shown(t.total_rating) + ")"};
  const std::pair<const std::string*, std::pair<const std::string*, const std::string*>> rows[] = {
      {&labels.sequential, {&t.seq_read, &t.seq_write}},
      {&labels.random_4k, {&t.rnd4_read, &t.rnd4_write}},
      {&labels.random_512k, {&t.rnd512_read, &t.rnd512_write}},
      {&labels.queued, {&t.qd_read, &t.qd_write}},
      {&labels.access_time, {&t.access_read, &t.access_write}},
      {&labels.benchmark, {&t.read_rating, &t.write_rating}},
  };
  for (const auto& [label, values] : rows) {
    table.rows.push_back({Shown(*label), Shown(*values.first), Shown(*values.second)});
  }
  return table;
}

// The panel's arrangement: a label column, then Read and Write; the ratings row carries the total
// after Write, or (`total_apart`) on the next line under Write.
std::string Columns(const Table& table, bool total_apart, size_t* widest) {
  size_t label_width = 0, read_width = DisplayWidth(table.read_heading), write_width = DisplayWidth(table.write_heading);
  for (const Row& row : table.rows) {
    label_width = std::max(label_width, DisplayWidth(row.label));
    read_width = std::max(read_width, DisplayWidth(row.read));
    write_width = std::max(write_width, DisplayWidth(row.write));
  }
  const size_t write_column = label_width + kGap + read_width + kGap;
  std::vector<std::string> lines = {PadToWidth("", label_width + kGap) + PadToWidth(table.read_heading, read_width + kGap) +
                                    table.write_heading};
  for (const Row& row : table.rows) {
    lines.push_back(PadToWidth(row.label, label_width + kGap) + PadToWidth(row.read, read_width + kGap) + row.write);
  }
  if (total_apart) {
    lines.push_back(PadToWidth("", write_column) + table.total);
  } else {
    lines.back() = PadToWidth(lines.back(), write_column + write_width) + "   " + table.total;
  }
  std::string out;
  *widest = 0;
  for (const std::string& line : lines) {
    *widest = std::max(*widest, DisplayWidth(line));
    out += line + "\n";
  }
  return out;
}

// Each row's label on a line of its own, its two values indented under it.
std::string Stacked(const Table& table, size_t width) {
  const size_t heading_width = std::max(DisplayWidth(table.read_heading), DisplayWidth(table.write_heading));
  std::string out;
  for (const Row& row : table.rows) {
    out += FitToWidth(row.label, width) + "\n";
    out += FitToWidth("  " + PadToWidth(table.read_heading, heading_width + kGap) + row.read, width) + "\n";
    out += FitToWidth("  " + PadToWidth(table.write_heading, heading_width + kGap) + row.write, width) + "\n";
  }
  return out + FitToWidth("  " + table.total, width) + "\n";
}

std::string Notes(const TableNotes& notes, std::optional<size_t> width) {
  std::vector<std::string> paragraphs;
  if (notes.state == RunState::kStopped) {
    paragraphs.push_back("Stopped before the end: \"-\" marks what was not measured.");
  } else if (notes.has_unmeasured) {
    paragraphs.push_back("\"-\" marks what this run did not measure.");
  }
  if (!notes.finish_time.empty()) paragraphs.push_back(EscapeControlCharacters(notes.finish_time));
  paragraphs.push_back(kUnitNote);
  std::string out;
  for (const std::string& paragraph : paragraphs) {
    if (!width) {
      out += paragraph + "\n";
      continue;
    }
    for (const std::string& line : WrapWords(paragraph, *width)) out += line + "\n";
  }
  return out;
}

}  // namespace

const char* const kUnitNote = "MB/s: KiB per millisecond (1.024 MB/s in decimal units, 0.977 MiB/s).";

PanelLabels LanguagePanelLabels() {
  PanelLabels labels;
  // The row names 4K, 512K and 64 X 4K are the same in every language.
  const std::pair<std::string*, int> texts[] = {{&labels.read, kReadText},
                                                {&labels.write, kWriteText},
                                                {&labels.sequential, kSequentialText},
                                                {&labels.access_time, kAccessTimeText},
                                                {&labels.benchmark, kBenchmarkText}};
  for (const auto& [label, id] : texts) {
    std::string text = GetText(id);
    if (!text.empty()) *label = std::move(text);
  }
  return labels;
}

std::string ResultsTable(const ValueTexts& texts, const PanelLabels& labels, const TableNotes& notes,
                         std::optional<size_t> width) {
  const Table table = MakeTable(texts, labels);
  size_t widest = 0;
  std::string body = Columns(table, false, &widest);
  if (width && widest > *width) body = Columns(table, true, &widest);
  if (width && widest > *width) body = Stacked(table, *width);
  return body + Notes(notes, width);
}

}  // namespace korvanel::cli
