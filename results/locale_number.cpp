#include "results/locale_number.h"

#include <algorithm>
#include <optional>

namespace korvanel {
namespace {

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct PlainNumber {
  bool negative = false;
  std::string whole;     // integer digits, possibly empty
  std::string fraction;  // fraction digits, possibly empty
};

std::optional<PlainNumber> ParsePlain(std::string_view text) {
  PlainNumber number;
  if (text.starts_with('-')) {
    number.negative = true;
    text.remove_prefix(1);
  }
  const size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
  if (!AllDigits(whole) || !AllDigits(fraction) || whole.size() + fraction.size() == 0) {
    return std::nullopt;
  }
  number.whole = whole;
  number.fraction = fraction;
  return number;
}

// Adds one unit in the last place of a digit string, carrying leftwards; true when the carry
// runs off the front.
bool IncrementDigits(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return false;
    }
    *it = '0';
  }
  return true;
}

void RoundToDigits(PlainNumber& number, size_t digits) {
  if (number.fraction.size() <= digits) {
    number.fraction.append(digits - number.fraction.size(), '0');
    return;
  }
  const bool round_up = number.fraction[digits] >= '5';
  number.fraction.resize(digits);
  if (round_up && IncrementDigits(number.fraction) && IncrementDigits(number.whole)) {
    number.whole.insert(number.whole.begin(), '1');
  }
}

}  // namespace

std::string FormatLocaleNumber(std::string_view plain, int digits,
                               const platform::NumberConventions& conventions) {
  std::optional<PlainNumber> number = ParsePlain(plain);
  if (!number) return std::string(plain);
  RoundToDigits(*number, static_cast<size_t>(std::max(digits, 0)));

  number->whole.erase(0, std::min(number->whole.find_first_not_of('0'), number->whole.size()));
  if (number->whole.empty() && conventions.leading_zero) number->whole = "0";

  std::string text = number->negative ? "-" : "";
  text += number->whole;
  if (!number->fraction.empty()) {
    text += conventions.decimal_separator.empty() ? "," : conventions.decimal_separator;
    text += number->fraction;
  }
  return text;
}

std::string FormatLocaleNumber(std::string_view plain, int digits, const platform::UserLocale& locale) {
  return FormatLocaleNumber(plain, digits, locale.Numbers());
}

}  // namespace korvanel
