#include "common/text_encoding.h"

#include <array>
#include <cstdint>

namespace korvanel {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf16(std::string& out, char32_t unit, ByteOrder order) {
  const char low = static_cast<char>(unit & 0xFF);
  const char high = static_cast<char>(unit >> 8);
  out.push_back(order == ByteOrder::kLittleEndian ? low : high);
  out.push_back(order == ByteOrder::kLittleEndian ? high : low);
}

}  // namespace

std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  struct Form {
    unsigned char mask, pattern;
    int extra;
    char32_t minimum;
  };
  static constexpr Form kForms[] = {{0xE0, 0xC0, 1, 0x80}, {0xF0, 0xE0, 2, 0x800}, {0xF8, 0xF0, 3, 0x10000}};
  for (const Form& form : kForms) {
    if ((lead & form.mask) != form.pattern) continue;
    if (pos + form.extra >= text.size()) return std::nullopt;
    char32_t value = lead & static_cast<unsigned char>(~form.mask);
    for (int i = 1; i <= form.extra; ++i) {
      const auto next = static_cast<unsigned char>(text[pos + i]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      value = (value << 6) | (next & 0x3F);
    }
    if (value < form.minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
    pos += form.extra + 1;
    return value;
  }
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string Utf16ToUtf8(std::string_view bytes, ByteOrder order) {
  std::string out;
  out.reserve(bytes.size());
  const std::size_t units = bytes.size() / 2;
  const std::size_t low = order == ByteOrder::kLittleEndian ? 0 : 1;
  auto unit_at = [&](std::size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i + low]) |
                                 (static_cast<unsigned char>(bytes[2 * i + 1 - low]) << 8));
  };
  for (std::size_t i = 0; i < units; ++i) {
    const char32_t unit = unit_at(i);
    if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(unit_at(i + 1))) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (unit_at(i + 1) - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::optional<std::string> Utf8ToUtf16(std::string_view text, ByteOrder order) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t pos = 0; pos < text.size();) {
    const auto cp = NextUtf8(text, pos);
    if (!cp) return std::nullopt;
    if (*cp >= 0x10000) {
      AppendUtf16(out, 0xD800 + ((*cp - 0x10000) >> 10), order);
      AppendUtf16(out, 0xDC00 + ((*cp - 0x10000) & 0x3FF), order);
    } else {
      AppendUtf16(out, *cp, order);
    }
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    if (!NextUtf8(text, pos)) return false;
  }
  return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  // 0x80..0x9F; the rest of the upper half equals Latin-1.
  static constexpr std::array<char16_t, 32> kHighControls = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
  }
  return out;
}

std::size_t CountCodePoints(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace korvanel
