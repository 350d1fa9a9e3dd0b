#include "common/display_text.h"

#include <cstdio>

namespace korvanel {
namespace {

void AppendEscaped(unsigned char byte, std::string* out) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
  *out += escaped;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence of a printable character at `text[i]` (lead byte >= 0x80),
// or 0 when there is none.
size_t PrintableSequenceLength(std::string_view text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) return 0;
  }
  // U+0080..U+009F are the C1 controls; some terminals act on them (0x9B starts a sequence).
  if (lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) return 0;
  return length;
}

}  // namespace

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

}  // namespace korvanel
