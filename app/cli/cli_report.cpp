#include "app/cli/cli_report.h"

#include <cstdio>
#include <utility>

#include "lang/languages.h"

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

// A JSON string literal: quotes, backslashes and control characters escaped; UTF-8 kept.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string DriveJson(const DriveEntry& drive) {
  const std::pair<const char*, const std::string*> texts[] = {
      {"Root", &drive.Root},           {"Model", &drive.Model},         {"SerialNumber", &drive.SerialNumber},
      {"Interface", &drive.Interface}, {"Driver", &drive.Driver},       {"FileSystem", &drive.FileSystem},
      {"VolumeLabel", &drive.VolumeLabel}, {"SizeText", &drive.SizeText}, {"Device", &drive.Device},
      {"Summary", &drive.Summary},
  };
  std::string out = ",\n  \"drive\": {";
  const char* separator = "\n    ";
  for (const auto& [key, value] : texts) {
    out += separator + JsonString(key) + ": " + JsonString(*value);
    separator = ",\n    ";
  }
  // Free bytes are all ones when the space query failed; JSON gets -1 then.
  const std::string free_bytes = drive.FreeBytes == ~0ull ? "-1" : std::to_string(drive.FreeBytes);
  out += ",\n    \"FreeBytes\": " + free_bytes + ",\n    \"TotalBytes\": " + std::to_string(drive.TotalBytes);
  return out + "\n  }";
}

}  // namespace

PanelLabels LanguagePanelLabels() {
  PanelLabels labels;
  // The row names 4K, 512K and 64 X 4K are the same in every language.
  const std::pair<std::string*, int> texts[] = {{&labels.read, 21},      {&labels.write, 22},
                                                {&labels.sequential, 18}, {&labels.access_time, 17},
                                                {&labels.benchmark, 23}};
  for (const auto& [label, id] : texts) {
    std::string text = GetText(id);
    if (!text.empty()) *label = std::move(text);
  }
  return labels;
}

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

std::string ResultsJson(const BenchResults& r, int test_id, int test_time, const DriveEntry* drive) {
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
  if (drive) out += DriveJson(*drive);
  return out + "\n}\n";
}

}  // namespace korvanel::cli
