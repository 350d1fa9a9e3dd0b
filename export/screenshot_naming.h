#pragma once
// File names for the panel screenshot: the name proposed in the save dialog and the ".png" rule
// applied to the name the user confirms.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace korvanel {

// "Korvanel <model> YYYY-MM-DD <time>", the model part left out when no drive is selected.
// `locale_time` is the time in the user's format. In both texts every character that a file name
// cannot hold somewhere (/ \ : * ? " < > |), that a dialog or a shell takes for more than a letter
// (quotes, $, `) or that is a control character or no valid UTF-8 becomes "-", so the model
// "Disk 7:30" gives "Disk 7-30" and the time 09:05:07 gives 09-05-07.
std::string ProposedScreenshotName(std::optional<std::string_view> model, std::chrono::year_month_day date,
                                   std::string_view locale_time);

// `name` with ".png" appended unless the text from its last "." is ".png" in any case.
std::string WithPngExtension(std::string name);

}  // namespace korvanel
