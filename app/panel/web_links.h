#pragma once
// The maker's web pages the panel opens: FAQ, homepage, thank-you and donation pages. German has a
// site of its own; every other language uses the English one.

#include <optional>
#include <string>

namespace korvanel::panel {

// The site address in the interface language (a loaded translation keeps the language's site).
std::string SiteAddress();

// The page that `command` opens, or nothing when the command opens no page.
std::optional<std::string> PageForCommand(int command);

}  // namespace korvanel::panel
