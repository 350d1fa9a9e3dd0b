#include "export/screenshot_naming.h"

#include <cstdio>

#include "common/ascii_case.h"
#include "common/display_text.h"

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

std::string FileNameSafe(std::string_view text) {
  std::string safe;
  size_t at = 0;
  while (at < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c < 0x80) {
      safe += UnsafeAscii(c) ? '-' : static_cast<char>(c);
      ++at;
    } else if (const size_t length = PrintableSequenceLength(text, at)) {
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
