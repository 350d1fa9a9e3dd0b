#include "common/display_text.h"

#include <cstdio>

#include "common/text_encoding.h"

namespace korvanel {
namespace {

void AppendEscaped(unsigned char byte, std::string* out) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
  *out += escaped;
}

}  // namespace

size_t PrintableSequenceLength(std::string_view text, size_t i) {
  size_t end = i;
  const std::optional<char32_t> code = NextUtf8(text, end);
  // U+0080..U+009F are the C1 controls; some terminals act on them (0x9B starts a sequence).
  if (!code || *code < 0xA0) return 0;
  return end - i;
}

std::string EscapeControlCharacters(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte < 0x7F) {
      out += text[i++];
      continue;
    }
    const size_t length = byte >= 0x80 ? PrintableSequenceLength(text, i) : 0;
    if (length == 0) {
      AppendEscaped(byte, &out);
      ++i;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

std::string EscapeControlCharactersInLines(std::string_view text) {
  std::string out;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (end < text.size() && line.ends_with('\r')) line.remove_suffix(1);
    out += EscapeControlCharacters(line);
    if (end < text.size()) out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace korvanel
