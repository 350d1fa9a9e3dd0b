#pragma once
// The maker's web pages the panel opens: FAQ, homepage, thank-you and donation pages, on the site
// of the interface language (lang/languages.h).

#include <optional>
#include <string>

namespace korvanel::panel {

// The page that `command` opens, or nothing when the command opens no page.
std::optional<std::string> PageForCommand(int command);

}  // namespace korvanel::panel
