#include "lang/languages.h"

#include <mutex>
#include <string_view>
#include <utility>

#include "lang/default_language.h"
#include "lang/language_image.h"
#include "lang/lzari.h"
#include "lang/text_ids.h"
#include "common/text_encoding.h"
#include "platform/user_language.h"
#include "settings/settings.h"

namespace korvanel {

namespace {

constexpr std::size_t kMinMenuNameLength = 6;

struct LanguageState {
  std::mutex mutex;
  LanguageTable table;
  int current = kEnglishLanguage;
  bool translation_in_use = false;
  TextTable translation;
};

LanguageState& State() {
  static LanguageState state;
  return state;
}

const Language* FindLanguage(const LanguageTable& table, int index) {
  if (index < 0 || index >= static_cast<int>(table.languages.size())) return nullptr;
  return &table.languages[index];
}

bool IsListed(const Language& language) {
  return CountCodePoints(language.display_name) >= kMinMenuNameLength;
}

std::string TextLocked(const LanguageState& state, int id) {
  if (id < 0 || id >= static_cast<int>(TextTable().size())) return {};
  if (state.translation_in_use) {
    // What a partial translation lacks, English says: the menus must stay readable.
    const auto& text = state.translation[id];
    if (text && !text->empty()) return *text;
  } else if (const Language* language = FindLanguage(state.table, state.current); language && language->texts[id]) {
    return *language->texts[id];
  }
  if (const Language* english = FindLanguage(state.table, kEnglishLanguage); english && english->texts[id]) {
    return *english->texts[id];
  }
  return {};
}

}  // namespace

bool LoadLanguageTable() {
  const std::span<const std::uint8_t> image = BuiltInLanguageImage();
  const std::vector<std::uint8_t> unpacked = LzariDecode(image);
  if (unpacked.empty() || unpacked.size() != LzariDeclaredSize(image)) return false;
  const std::string text =
      Utf16LeToUtf8(std::string_view(reinterpret_cast<const char*>(unpacked.data()), unpacked.size()));
  InstallLanguageTable(IndexLanguageTable(text));
  return true;
}

void InstallLanguageTable(LanguageTable table) {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  state.table = std::move(table);
}

std::string GetText(int id) {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  return TextLocked(state, id);
}

std::string GetSpecialText(int id) {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  const SpecialTextTable& special = state.table.special_texts;
  if (id < 0 || id >= static_cast<int>(special.size()) || !special[id]) return {};
  return *special[id];
}

std::string SiteAddress() {
  return GetSpecialText(CurrentLanguage() == kGermanLanguage ? kGermanSiteText : kEnglishSiteText);
}

std::string ThanksPageAddress() {
  return GetSpecialText(CurrentLanguage() == kGermanLanguage ? kGermanThanksPageText : kEnglishThanksPageText);
}

std::string SiteName() {
  std::string name = GetSpecialText(kEnglishSiteText);
  if (const size_t scheme = name.find("://"); scheme != std::string::npos) name.erase(0, scheme + 3);
  return name.substr(0, name.find('/'));
}

void ChooseDefaultLanguage() {
  const std::optional<uint16_t> language_id = platform::UserUiLanguageId();
  const int fallback = language_id ? DefaultLanguageForLanguageId(*language_id)
                                   : DefaultLanguageForLocale(platform::UserMessagesLocale());
  SetCurrentLanguage(ReadSettingInt("lng", fallback));
}

int CurrentLanguage() {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  return state.current;
}

void SetCurrentLanguage(int index) {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  state.current = index;
}

bool SelectLanguage(int index) {
  {
    LanguageState& state = State();
    std::lock_guard lock(state.mutex);
    const Language* language = FindLanguage(state.table, index);
    if (!language || !IsListed(*language)) return false;
    state.translation_in_use = false;
    state.translation = {};
    state.current = index;
  }
  WriteSettingInt("lng", index);
  return true;
}

std::vector<LanguageMenuItem> ListLanguages() {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  std::vector<LanguageMenuItem> items;
  for (int i = 0; i < static_cast<int>(state.table.languages.size()); ++i) {
    const Language& language = state.table.languages[i];
    if (!IsListed(language)) continue;
    LanguageMenuItem item;
    item.index = i;
    const std::size_t tab = language.display_name.find('\t');
    item.name = language.display_name.substr(0, tab);
    if (tab != std::string::npos) item.second_name = language.display_name.substr(tab + 1);
    item.percent = language.percent;
    item.current = i == state.current;
    item.label = language.display_name + " / " + std::to_string(language.percent) + " %";
    items.push_back(std::move(item));
  }
  return items;
}

int LanguageCount() {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  return static_cast<int>(state.table.languages.size());
}

std::string LanguageDisplayName(int index) {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  const Language* language = FindLanguage(state.table, index);
  return language ? language->display_name : std::string();
}

TextTable LanguageTexts(int index) {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  const Language* language = FindLanguage(state.table, index);
  return language ? language->texts : TextTable{};
}

std::string EnglishSectionText() {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  return state.table.english_section;
}

std::array<std::string, 10> LanguageEngineTexts() {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  std::array<std::string, 10> texts;
  for (int i = 0; i < static_cast<int>(texts.size()); ++i) texts[i] = TextLocked(state, kInitializeText + i);
  return texts;
}

void UseTranslationTexts(TextTable texts) {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  state.translation = std::move(texts);
  state.translation_in_use = true;
}

bool TranslationInUse() {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  return state.translation_in_use;
}

}  // namespace korvanel
