#include <windows.h>

#include "platform/user_language.h"

namespace korvanel::platform {

// Windows names the user's language by an identifier, not by a locale name.
std::string UserMessagesLocale() { return {}; }

std::optional<uint16_t> UserUiLanguageId() { return GetUserDefaultUILanguage(); }

}  // namespace korvanel::platform
