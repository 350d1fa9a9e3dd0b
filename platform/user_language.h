#pragma once
// The system's answer to "which language does this user read?". Implemented once per platform
// (platform/<os>/user_language_<os>.cpp).

#include <cstdint>
#include <optional>
#include <string>

namespace korvanel::platform {

// The locale name that governs the user's messages (on Linux the first non-empty of LC_ALL,
// LC_MESSAGES and LANG); empty when the system names none.
std::string UserMessagesLocale();

// The user's interface language identifier where the system names languages by number (Windows'
// GetUserDefaultUILanguage: primary language in the low 10 bits, sublanguage above); nullopt where
// it names them by locale name.
std::optional<uint16_t> UserUiLanguageId();

}  // namespace korvanel::platform
