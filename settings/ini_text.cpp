#include "settings/ini_text.h"

#include <vector>

#include "common/ascii_case.h"

namespace korvanel {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct IniLine {
  std::string_view content;  // without the line ending
  std::string_view ending;   // "\n", "\r\n"; for the last line also "\r" or empty
};

std::vector<IniLine> SplitLines(std::string_view text) {
  std::vector<IniLine> lines;
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    if (newline == std::string_view::npos) {
      // A last line that ends in a lone CR has ended: the CR is no part of its value, also once a
      // line is added after it and the CR becomes half of a CR LF.
      const size_t cr = text.ends_with('\r') ? 1 : 0;
      lines.push_back({text.substr(0, text.size() - cr), text.substr(text.size() - cr)});
      break;
    }
    const size_t content_end = (newline > 0 && text[newline - 1] == '\r') ? newline - 1 : newline;
    lines.push_back({text.substr(0, content_end), text.substr(content_end, newline + 1 - content_end)});
    text.remove_prefix(newline + 1);
  }
  return lines;
}

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The name of a "[section]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view content) {
  content = Trim(content);
  if (content.empty() || content.front() != '[') return std::nullopt;
  content.remove_prefix(1);
  return Trim(content.substr(0, content.find(']')));
}

struct KeyValue {
  std::string_view name;
  std::string_view value;
};

std::optional<KeyValue> KeyLine(std::string_view content) {
  const size_t equals = content.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyValue{Trim(content.substr(0, equals)), Trim(content.substr(equals + 1))};
}

std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Where `section` and `key` sit among the lines; indexes are npos when absent.
struct IniPosition {
  size_t section = std::string_view::npos;
  size_t key = std::string_view::npos;
  size_t section_last_line = std::string_view::npos;  // last non-blank line of the section
};

IniPosition Locate(const std::vector<IniLine>& lines, std::string_view section, std::string_view key) {
  IniPosition position;
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i].content);
    if (position.section != std::string_view::npos) {
      if (name) break;  // the next section ends ours
      if (!Trim(lines[i].content).empty()) position.section_last_line = i;
      const auto entry = KeyLine(lines[i].content);
      if (entry && EqualsIgnoringAsciiCase(entry->name, key)) {
        position.key = i;
        break;
      }
    } else if (name && EqualsIgnoringAsciiCase(*name, section)) {
      position.section = position.section_last_line = i;
    }
  }
  return position;
}

std::vector<IniLine> ParseLines(std::string_view text) {
  std::vector<IniLine> lines = SplitLines(text);
  if (!lines.empty() && lines.front().content.starts_with(kUtf8Bom)) {
    lines.front().content.remove_prefix(kUtf8Bom.size());
  }
  return lines;
}

std::string_view LineEndingOf(const std::vector<IniLine>& lines) {
  for (const IniLine& line : lines) {
    if (line.ending.ends_with('\n')) return line.ending;
  }
  return "\n";
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
  const std::vector<IniLine> lines = ParseLines(text);
  const IniPosition position = Locate(lines, section, key);
  if (position.key == std::string_view::npos) return std::nullopt;
  return std::string(WithoutQuotes(KeyLine(lines[position.key].content)->value));
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
  std::vector<IniLine> lines = ParseLines(text);
  const std::string_view ending = LineEndingOf(lines);
  const std::string key_line = std::string(key) + "=" + std::string(value);
  const std::string section_line = "[" + std::string(section) + "]";
  const IniPosition position = Locate(lines, section, key);

  if (position.key != std::string_view::npos) {
    lines[position.key].content = key_line;
  } else {
    size_t insert_at = lines.size();
    if (position.section != std::string_view::npos) insert_at = position.section_last_line + 1;
    // The line before the new ones needs a whole ending of its own if it was the unterminated last one.
    if (insert_at > 0 && !lines[insert_at - 1].ending.ends_with('\n')) {
      lines[insert_at - 1].ending = lines[insert_at - 1].ending.empty() ? ending : "\r\n";
    }
    std::vector<IniLine> added;
    if (position.section == std::string_view::npos) added.push_back({section_line, ending});
    added.push_back({key_line, ending});
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at), added.begin(), added.end());
  }

  std::string result(text.starts_with(kUtf8Bom) ? kUtf8Bom : std::string_view{});
  for (const IniLine& line : lines) {
    result.append(line.content);
    result.append(line.ending);
  }
  return result;
}

}  // namespace korvanel
