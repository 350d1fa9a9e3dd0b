#include "app/cli/text_width.h"

#include <cstdint>

namespace korvanel::cli {
namespace {

// The code point at `text[*at]`, advancing `*at` past it; a malformed byte counts as one character.
uint32_t NextCodePoint(std::string_view text, size_t* at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(*at);
  const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
  if (length == 1 || *at + length > text.size()) {
    ++*at;
    return lead;
  }
  uint32_t code = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) code = (code << 6) | (byte(*at + i) & 0x3F);
  *at += length;
  return code;
}

int ColumnsOf(uint32_t code) {
  if ((code >= 0x0300 && code <= 0x036F) || (code >= 0x200B && code <= 0x200F)) return 0;  // combining, zero width
  const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                    (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                    (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                    (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x20000 && code <= 0x3FFFD);
  return wide ? 2 : 1;
}

std::string_view FirstCharacter(std::string_view text) {
  size_t end = 0;
  if (!text.empty()) NextCodePoint(text, &end);
  return text.substr(0, end);
}

}  // namespace

size_t DisplayWidth(std::string_view text) {
  size_t columns = 0;
  for (size_t at = 0; at < text.size();) columns += ColumnsOf(NextCodePoint(text, &at));
  return columns;
}

std::string FitToWidth(std::string_view text, size_t columns) {
  size_t used = 0;
  size_t at = 0;
  while (at < text.size()) {
    size_t next = at;
    const int width = ColumnsOf(NextCodePoint(text, &next));
    if (used + width > columns) break;
    used += width;
    at = next;
  }
  return std::string(text.substr(0, at));
}

std::string PadToWidth(std::string text, size_t columns) {
  const size_t width = DisplayWidth(text);
  if (width < columns) text.append(columns - width, ' ');
  return text;
}

std::vector<std::string> WrapWords(std::string_view text, size_t columns) {
  std::vector<std::string> lines;
  std::string line;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    std::string word(text.substr(start, end - start));
    start = end + 1;
    if (word.empty()) continue;
    if (!line.empty() && DisplayWidth(line) + 1 + DisplayWidth(word) > columns) {
      lines.push_back(line);
      line.clear();
    }
    if (!line.empty()) line += ' ';
    line += word;
    while (DisplayWidth(line) > columns) {
      std::string head = FitToWidth(line, columns);
      // A character wider than the line (a CJK one in a single column) takes a line of its own.
      if (head.empty()) head = FitToWidth(line, DisplayWidth(FirstCharacter(line)));
      line.erase(0, head.size());
      lines.push_back(head);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace korvanel::cli
