#include "lang/default_language.h"

#include <array>
#include <utility>

#include "lang/language_table.h"

namespace korvanel {

namespace {

constexpr int kSimplifiedChinese = 9;
constexpr int kTraditionalChinese = 14;

constexpr std::array<std::pair<std::string_view, int>, 17> kLanguageCodes = {{
    {"de", 0}, {"en", 1}, {"el", 2}, {"hu", 3}, {"bg", 4}, {"ro", 5}, {"cs", 6}, {"ru", 7}, {"pl", 8},
    {"zh", kSimplifiedChinese}, {"nl", 10}, {"sv", 11}, {"es", 12}, {"fa", 13}, {"pt", 15}, {"fr", 16},
    {"it", 17},
}};

// Windows primary language identifiers (the low 10 bits of a LANGID) and their table indexes.
constexpr std::array<std::pair<uint16_t, int>, 17> kPrimaryLanguages = {{
    {7, 0}, {9, 1}, {8, 2}, {14, 3}, {2, 4}, {24, 5}, {5, 6}, {25, 7}, {21, 8},
    {4, kSimplifiedChinese}, {19, 10}, {29, 11}, {10, 12}, {41, 13}, {22, 15}, {12, 16}, {16, 17},
}};
constexpr uint16_t kSublanguageTraditionalChinese = 1;

}  // namespace

int DefaultLanguageForLanguageId(uint16_t language_id) {
  const uint16_t primary = language_id & 0x3FF;
  const uint16_t sublanguage = language_id >> 10;
  for (const auto& [code, index] : kPrimaryLanguages) {
    if (primary != code) continue;
    if (index == kSimplifiedChinese && sublanguage == kSublanguageTraditionalChinese) return kTraditionalChinese;
    return index;
  }
  return kEnglishLanguage;
}

int DefaultLanguageForLocale(std::string_view locale_name) {
  // language[_territory][.codeset][@modifier]
  const std::string_view without_modifier = locale_name.substr(0, locale_name.find_first_of(".@"));
  const std::size_t underscore = without_modifier.find('_');
  const std::string_view language = without_modifier.substr(0, underscore);
  const std::string_view territory =
      underscore == std::string_view::npos ? std::string_view() : without_modifier.substr(underscore + 1);

  for (const auto& [code, index] : kLanguageCodes) {
    if (language != code) continue;
    if (index == kSimplifiedChinese && (territory == "TW" || territory == "HK")) return kTraditionalChinese;
    return index;
  }
  return kEnglishLanguage;
}

}  // namespace korvanel
