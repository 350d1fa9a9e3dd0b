#pragma once
// The system's answer to "which language does this user read?". Implemented once per platform
// (Linux: platform/linux/user_language_linux.cpp).

#include <string>

namespace korvanel::platform {

// The locale name that governs the user's messages (on Linux the first non-empty of LC_ALL,
// LC_MESSAGES and LANG); empty when the system names none.
std::string UserMessagesLocale();

}  // namespace korvanel::platform
