#include "platform/user_language.h"

#include <cstdlib>

namespace korvanel::platform {

std::string UserMessagesLocale() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

}  // namespace korvanel::platform

namespace korvanel::platform {

std::optional<uint16_t> UserUiLanguageId() { return std::nullopt; }

}  // namespace korvanel::platform
