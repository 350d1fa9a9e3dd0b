#include "export/screenshot_naming.h"

#include <cstdio>

namespace korvanel {
namespace {

std::string DateText(std::chrono::year_month_day date) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return buffer;
}

std::string FileNameSafe(std::string_view text) {
  std::string safe(text);
  for (char& c : safe) {
    if (c == '/' || c == '\0') c = '-';
  }
  return safe;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string ProposedScreenshotName(std::optional<std::string_view> model, std::chrono::year_month_day date,
                                   std::string_view locale_time) {
  std::string name = "Korvanel ";
  if (model) name += FileNameSafe(*model) + " ";
  name += DateText(date) + " ";
  std::string time = FileNameSafe(locale_time);
  for (char& c : time) {
    if (c == ':') c = '-';
  }
  return name + time;
}

std::string WithPngExtension(std::string name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || !EqualsIgnoringAsciiCase(std::string_view(name).substr(dot), ".png")) {
    name += ".png";
  }
  return name;
}

}  // namespace korvanel
