#pragma once
// The process-wide interface texts: the built-in language table, the current language, and a loaded
// translation file that overrides them. Every function is safe to call from any thread.
//
// Texts are UTF-8 std::string values owned by the caller. An absent text comes back as an empty
// string; callers that must tell "absent" from "present but empty" use LanguageTexts().

#include <array>
#include <string>
#include <vector>

#include "lang/language_table.h"

namespace korvanel {

// Unpacks and indexes the built-in table and makes it the active one. Returns false only when the
// built-in image is damaged (it does not decode to the size its header declares); the previous
// table then stays active.
bool LoadLanguageTable();

// Makes `table` the active one (tests and tools). The current language and translation mode stay.
void InstallLanguageTable(LanguageTable table);

// Text `id` (0..255) for the interface. With a translation file in use: the file's text, or
// English's when the file lacks it or leaves it empty. Otherwise the current language's text, else
// English's, else empty. Out-of-range ids give an empty text.
std::string GetText(int id);

// Language-independent text `id` (0..127), empty when absent or out of range.
std::string GetSpecialText(int id);

// The maker's web site in the interface language: German has a site of its own, every other
// language uses the English one (a loaded translation keeps the site of the language chosen before).
std::string SiteAddress();

// The thank-you page on that site.
std::string ThanksPageAddress();

// The site's own name, as texts name it ("korvanel.example"): the host of the English site's
// address, whatever the language. Texts that name the site hold "%s" where it goes (text 75).
std::string SiteName();

// Sets the current language: "lng" from the settings, defaulting to the user's system language.
void ChooseDefaultLanguage();

// The current language index; any integer is possible (lookups then fall back to English).
int CurrentLanguage();
// Sets the current language without storing it or leaving translation mode.
void SetCurrentLanguage(int index);

// What the language menu does on a choice: leaves translation mode, makes `index` current and stores
// it as "lng". Returns false, changing nothing, when `index` is not a language the menu lists.
bool SelectLanguage(int index);

struct LanguageMenuItem {
  int index = 0;
  std::string name;         // left column, e.g. "English"
  std::string second_name;  // e.g. "Englisch"
  int percent = 0;
  bool current = false;     // shown checked and disabled
  std::string label;        // "<name>\t<second name> / <percent> %", as a menu item text
};

// The built-in languages as the menu offers them: those whose display name is longer than five
// characters, in table order.
std::vector<LanguageMenuItem> ListLanguages();

// Number of indexed language sections (the nameless closing one included).
int LanguageCount();

// A language's display name ("<name>\t<second name>"); empty for a bad index.
std::string LanguageDisplayName(int index);

// Copy of a language's texts (English's for the translation report); all absent for a bad index.
TextTable LanguageTexts(int index);

// The raw English section (CR LF line ends), as the translation file carries it.
std::string EnglishSectionText();

// Texts 5..14 of the current language (GetText), in the order the engine numbers its texts 0..9.
std::array<std::string, 10> LanguageEngineTexts();

// Translation mode: `texts` answer every GetText until a built-in language is selected.
void UseTranslationTexts(TextTable texts);
bool TranslationInUse();

}  // namespace korvanel
