#include "export/screenshot_naming.h"

#include <cstdint>
#include <cstdio>

#include "common/ascii_case.h"

namespace korvanel {
namespace {

std::string DateText(std::chrono::year_month_day date) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return buffer;
}

// Characters a file name cannot hold on some system (/ \ : * ? " < > |), that a dialog or a shell
// takes as more than a letter (quotes split a dialog's name list, $ and ` start commands), and
// control characters (ESC sequences, line breaks): each becomes "-". Invalid UTF-8 does too, so the
// name is text every dialog can show.
bool UnsafeAscii(unsigned char c) {
  return c < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|$`'").find(static_cast<char>(c)) != std::string_view::npos;
}

// The length of the valid UTF-8 sequence at the start of `text`, 0 when it is none; C1 controls
// (U+0080 to U+009F) count as none too.
size_t Utf8Sequence(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  const size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (length == 0 || text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  const uint32_t second = byte(1);
  if (lead == 0xC2 && second < 0xA0) return 0;                       // C1 controls
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90)) return 0;  // overlong
  if ((lead == 0xED && second >= 0xA0) || (lead == 0xF4 && second >= 0x90)) return 0;  // surrogates, > U+10FFFF
  return length;
}

std::string FileNameSafe(std::string_view text) {
  std::string safe;
  size_t at = 0;
  while (at < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c < 0x80) {
      safe += UnsafeAscii(c) ? '-' : static_cast<char>(c);
      ++at;
    } else if (const size_t length = Utf8Sequence(text.substr(at))) {
      safe += text.substr(at, length);
      at += length;
    } else {
      safe += '-';
      ++at;
    }
  }
  return safe;
}

}  // namespace

std::string ProposedScreenshotName(std::optional<std::string_view> model, std::chrono::year_month_day date,
                                   std::string_view locale_time) {
  std::string name = "Korvanel ";
  if (model) name += FileNameSafe(*model) + " ";
  name += DateText(date) + " ";
  return name + FileNameSafe(locale_time);
}

std::string WithPngExtension(std::string name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || !EqualsIgnoringAsciiCase(std::string_view(name).substr(dot), ".png")) {
    name += ".png";
  }
  return name;
}

}  // namespace korvanel
