#include "results/value_text.h"

#include <charconv>

#include "results/locale_number.h"
#include "results/measured_values.h"

namespace korvanel {
namespace {

// The text printf's "%.Nf" gives, made without printf so that a global locale set by a GUI
// toolkit cannot slip its decimal comma into what FormatLocaleNumber parses.
std::string PlainFixed(double value, int precision) {
  char text[400];  // DBL_MAX has 309 integer digits
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
  return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

}  // namespace

std::string RateText(double rate, const platform::UserLocale& locale) {
  return FormatLocaleNumber(PlainFixed(rate, 3), 2, locale) + " MB/s ";
}

std::string AccessTimeText(double rate_4k, const platform::UserLocale& locale) {
  const std::optional<double> ms = AccessTimeMs(rate_4k);
  if (!ms) return "------ ";
  return FormatLocaleNumber(PlainFixed(*ms, 4), 4, locale) + " ms. ";
}

std::string RatingText(double rating, const platform::UserLocale& locale) {
  return FormatLocaleNumber(PlainFixed(rating, 1), 1, locale);
}

}  // namespace korvanel
