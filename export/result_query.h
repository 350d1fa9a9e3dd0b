#pragma once
// The result query text that the comparison site receives, and the encoding it travels in.

#include <string>
#include <string_view>

#include "export/report_input.h"

namespace korvanel {

// "Vol=...&Bytes=...&...&ENDE=ENDE": 26 keys in the site's fixed order, values unescaped, rates
// with six decimals and "." whatever the process locale.
std::string BuildResultQuery(const ComparisonReportInput& input);

// Base64 of the UTF-8 text, reversed, Base64 again: only Base64 characters, no line breaks.
std::string EncodeForTransfer(std::string_view query);

// Undoes EncodeForTransfer; empty when `encoded` is not such a text.
std::string DecodeTransfer(std::string_view encoded);

}  // namespace korvanel
