#pragma once
// Which built-in language a user gets before choosing one.

#include <cstdint>
#include <string_view>

namespace korvanel {

// Table index for a POSIX locale name such as "de_DE.UTF-8", "zh_TW" or "pt_BR@euro": German 0,
// English 1, Greek 2, Hungarian 3, Bulgarian 4, Romanian 5, Czech 6, Russian 7, Polish 8, Chinese 9
// (Taiwan and Hong Kong: Traditional Chinese 14), Dutch 10, Swedish 11, Spanish 12, Persian 13,
// Portuguese 15, French 16, Italian 17; English for anything else, "C" and the empty name included.
int DefaultLanguageForLocale(std::string_view locale_name);

}  // namespace korvanel

namespace korvanel {

// Table index for a Windows language identifier (GetUserDefaultUILanguage), by its primary language
// (low 10 bits), with the same indexes as above; Chinese with sublanguage 1 (Taiwan) gives
// Traditional Chinese 14. English for anything else.
int DefaultLanguageForLanguageId(uint16_t language_id);

}  // namespace korvanel
