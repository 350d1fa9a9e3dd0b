#include "lang/tools/table_source.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "common/text_encoding.h"

namespace korvanel {

namespace {

// At most 32 sections are indexed, and the closing "##" line opens one more.
constexpr std::size_t kMaxLanguageFiles = 31;

std::string Problem(const TableSource& source, int line, std::string_view what) {
  return source.name + ":" + std::to_string(line) + ": " + std::string(what);
}

// Drops a UTF-8 mark and turns CR LF into LF; nullopt (with `error` set) on invalid UTF-8 or a lone CR.
std::optional<std::string> NormalizedText(const TableSource& source, std::string& error) {
  std::string_view text = source.text;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  if (!IsValidUtf8(text)) {
    error = Problem(source, 0, "not valid UTF-8");
    return std::nullopt;
  }
  std::string out;
  int line = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') continue;
      error = Problem(source, line, "carriage return inside a line");
      return std::nullopt;
    }
    if (text[i] == '\n') ++line;
    out.push_back(text[i]);
  }
  return out;
}

bool CheckSectionShape(const TableSource& source, const std::string& text, std::string& error) {
  if (!text.starts_with("##")) {
    error = Problem(source, 1, "a section file must start with \"##\"");
    return false;
  }
  const std::size_t extra = text.find("##", 2);
  if (extra != std::string::npos) {
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + extra, '\n'));
    error = Problem(source, line, "\"##\" would start a new section here");
    return false;
  }
  if (!text.ends_with('\n')) {
    error = Problem(source, 0, "the last line must end with a line end");
    return false;
  }
  return true;
}

bool IsFourDigitId(std::string_view line, int& id) {
  if (line.size() < 5 || line[4] != '=') return false;
  id = 0;
  for (int i = 0; i < 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
    id = id * 10 + (line[i] - '0');
  }
  return true;
}

std::string_view CheckLanguageLine(std::string_view line, int& last_id) {
  if (line.starts_with("TranslatorName=") || line.starts_with("TranslatorURL=")) return {};
  int id;
  if (!IsFourDigitId(line, id)) return "expected \"NNNN=text\" or a translator line";
  if (id > 255) return "text id above 255";
  if (id <= last_id) return "text ids must increase";
  last_id = id;
  return {};
}

bool CheckLanguageLines(const TableSource& source, const std::string& text, std::string& error) {
  const std::size_t first_end = text.find('\n');
  const std::string_view title = std::string_view(text).substr(0, first_end);
  const std::size_t tab = title.find('\t');
  if (!title.starts_with("##=") || tab == std::string_view::npos || tab == 3 || tab + 1 == title.size() ||
      title.find('\t', tab + 1) != std::string_view::npos) {
    error = Problem(source, 1, "expected \"##=<name><TAB><second name>\"");
    return false;
  }
  int last_id = -1;
  int line_number = 2;
  for (std::size_t start = first_end + 1; start < text.size(); ++line_number) {
    const std::size_t end = text.find('\n', start);
    const std::string_view problem = CheckLanguageLine(std::string_view(text).substr(start, end - start), last_id);
    if (!problem.empty()) {
      error = Problem(source, line_number, problem);
      return false;
    }
    start = end + 1;
  }
  return true;
}

void AppendWithCrLf(std::string& out, const std::string& text) {
  for (const char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
}

}  // namespace

TableBuild BuildLanguageTable(const TableSource& header, const std::vector<TableSource>& fixed_sections,
                              const std::vector<TableSource>& languages) {
  TableBuild result;
  if (languages.size() > kMaxLanguageFiles) {
    result.error = "more than " + std::to_string(kMaxLanguageFiles) + " language files";
    return result;
  }
  std::string joined;
  const auto header_text = NormalizedText(header, result.error);
  if (!header_text) return result;
  if (header_text->find("##") != std::string::npos) {
    result.error = Problem(header, 0, "the header must not contain \"##\"");
    return result;
  }
  AppendWithCrLf(joined, *header_text);

  auto append_section = [&](const TableSource& source, bool is_language) {
    const auto text = NormalizedText(source, result.error);
    if (!text || !CheckSectionShape(source, *text, result.error)) return false;
    if (is_language && !CheckLanguageLines(source, *text, result.error)) return false;
    AppendWithCrLf(joined, *text);
    return true;
  };
  for (const TableSource& source : fixed_sections) {
    if (!append_section(source, false)) return result;
  }
  for (const TableSource& source : languages) {
    if (!append_section(source, true)) return result;
  }
  joined += "##\r\n";

  result.table = "\xFF\xFE" + *Utf8ToUtf16Le(joined);
  return result;
}

}  // namespace korvanel
