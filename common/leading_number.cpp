#include "common/leading_number.h"

#include <climits>

namespace korvanel {

long long LeadingDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    value = value > (LLONG_MAX - digit) / 10 ? LLONG_MAX : value * 10 + digit;
  }
  return negative ? -value : value;
}

}  // namespace korvanel
