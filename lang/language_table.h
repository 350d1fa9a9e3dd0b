#pragma once
// The unpacked multilingual table, cut into its sections and parsed: what Korvanel knows about each
// built-in language. Plain data; lang/languages.h keeps the process-wide instance.

#include <string>
#include <string_view>
#include <vector>

#include "lang/text_section.h"

namespace korvanel {

inline constexpr int kMaxLanguages = 32;
inline constexpr int kGermanLanguage = 0;
inline constexpr int kEnglishLanguage = 1;

struct Language {
  std::string display_name;  // "<name>\t<second name>"; empty for a section without a "##=" line
  TextTable texts;
  int percent = 0;           // share of English's non-empty texts this language also has
};

struct LanguageTable {
  std::vector<Language> languages;   // at most kMaxLanguages, in table order
  SpecialTextTable special_texts;
  std::string english_section;       // raw text of the English section, CR LF kept
};

// Indexes a table text (UTF-8; the stored table's mark, if still present, is harmless). Text before
// the first "##" is skipped; the first three sections are the special one and two free-text ones;
// every later section is a language. Never fails: missing parts stay empty.
LanguageTable IndexLanguageTable(std::string_view table_text);

// Percentage (truncated) of the ids with a non-empty text in `reference` that also have a
// non-empty text in `texts`; 0 when the reference has none.
int CompletenessPercent(const TextTable& reference, const TextTable& texts);

}  // namespace korvanel
