#include "app/cli/cli_report.h"

#include <cstdio>
#include <utility>

namespace korvanel::cli {
namespace {

// Columns line up by characters, not bytes, so translated labels stay aligned.
size_t DisplayLength(const std::string& text) {
  size_t length = 0;
  for (unsigned char c : text) length += (c & 0xC0) != 0x80;
  return length;
}

std::string Pad(std::string text, size_t width) {
  const size_t length = DisplayLength(text);
  if (length < width) text.append(width - length, ' ');
  return text;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string ResultsTable(const ValueTexts& texts, const PanelLabels& labels, const std::string& finish_time) {
  const std::pair<const std::string*, std::pair<const std::string*, const std::string*>> rows[] = {
      {&labels.sequential, {&texts.seq_read, &texts.seq_write}},
      {&labels.random_4k, {&texts.rnd4_read, &texts.rnd4_write}},
      {&labels.random_512k, {&texts.rnd512_read, &texts.rnd512_write}},
      {&labels.queued, {&texts.qd_read, &texts.qd_write}},
      {&labels.access_time, {&texts.access_read, &texts.access_write}},
  };
  size_t label_width = DisplayLength(Trimmed(labels.benchmark));
  for (const auto& row : rows) label_width = std::max(label_width, DisplayLength(Trimmed(*row.first)));
  label_width += 2;
  constexpr size_t kValueWidth = 18;

  std::string out = Pad("", label_width) + Pad(Trimmed(labels.read), kValueWidth) + Trimmed(labels.write) + "\n";
  for (const auto& [label, values] : rows) {
    out += Pad(Trimmed(*label), label_width) + Pad(Trimmed(*values.first), kValueWidth) + Trimmed(*values.second) + "\n";
  }
  // The ratings sit as on the panel: read under Read, total in the middle, write under Write.
  out += Pad(Trimmed(labels.benchmark), label_width) + Pad(Trimmed(texts.read_rating), kValueWidth) +
         Trimmed(texts.write_rating) + "   (" + Trimmed(texts.total_rating) + ")\n";
  if (!finish_time.empty()) out += finish_time + "\n";
  return out;
}

std::string ResultsJson(const BenchResults& r, int test_id, int test_time) {
  const std::pair<const char*, double> rates[] = {
      {"SR", r.SR},           {"SW", r.SW},           {"RR4KB", r.RR4KB},         {"RW4KB", r.RW4KB},
      {"RR512KB", r.RR512KB}, {"RW512KB", r.RW512KB}, {"RR4KB64QD", r.RR4KB64QD}, {"RW4KB64QD", r.RW4KB64QD},
      {"RR", r.RR},           {"RW", r.RW},
  };
  std::string out = "{\n  \"m_test_id\": " + std::to_string(test_id) + ",\n  \"test_time\": " + std::to_string(test_time);
  for (const auto& [key, value] : rates) {
    char number[64];
    std::snprintf(number, sizeof number, "%.6f", value);
    out += ",\n  \"" + std::string(key) + "\": " + number;
  }
  return out + "\n}\n";
}

}  // namespace korvanel::cli
