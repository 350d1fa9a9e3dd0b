#pragma once
// File names for the panel screenshot: the name proposed in the save dialog and the ".png" rule
// applied to the name the user confirms.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace korvanel {

// "Korvanel <model> YYYY-MM-DD <time>", the model part left out when no drive is selected.
// `locale_time` is the time in the user's format; its ":" become "-", and "/" in either text
// becomes "-" too, since a file name cannot hold it.
std::string ProposedScreenshotName(std::optional<std::string_view> model, std::chrono::year_month_day date,
                                   std::string_view locale_time);

// `name` with ".png" appended unless the text from its last "." is ".png" in any case.
std::string WithPngExtension(std::string name);

}  // namespace korvanel
