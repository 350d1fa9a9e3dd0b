#include "lang/language_table.h"

namespace korvanel {

namespace {

struct Section {
  std::string_view title;  // the rest of the "##" line, e.g. "=English\tEnglisch"
  std::string_view body;   // from the next line up to the next "##"
};

// Every "##" starts a section that ends where the next one starts; scanning resumes right after
// each "##", so "####" counts twice.
std::vector<Section> SplitSections(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t at = text.find("##"); at != std::string_view::npos; at = text.find("##", at + 2)) {
    starts.push_back(at);
  }
  std::vector<Section> sections;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
    const std::string_view whole = text.substr(starts[i] + 2, end - starts[i] - 2);
    const std::size_t line_end = whole.find('\n');
    Section section;
    section.title = whole.substr(0, line_end == std::string_view::npos ? whole.size() : line_end);
    if (section.title.ends_with('\r')) section.title.remove_suffix(1);
    if (line_end != std::string_view::npos) section.body = whole.substr(line_end + 1);
    sections.push_back(section);
  }
  return sections;
}

bool HasText(const std::optional<std::string>& text) { return text && !text->empty(); }

}  // namespace

int CompletenessPercent(const TextTable& reference, const TextTable& texts) {
  int total = 0;
  int have = 0;
  for (std::size_t id = 0; id < reference.size(); ++id) {
    if (!HasText(reference[id])) continue;
    ++total;
    if (HasText(texts[id])) ++have;
  }
  if (total == 0) return 0;
  // Double precision and truncation on purpose: 29 of 50 gives 57 (0.58 * 100 is just below 58).
  return static_cast<int>(static_cast<double>(have) / total * 100.0);
}

LanguageTable IndexLanguageTable(std::string_view table_text) {
  LanguageTable table;
  const std::vector<Section> sections = SplitSections(table_text);
  if (!sections.empty()) ParseSpecialSection(sections[0].body, table.special_texts);

  for (std::size_t i = 3; i < sections.size() && table.languages.size() < kMaxLanguages; ++i) {
    Language language;
    if (sections[i].title.starts_with('=')) language.display_name = sections[i].title.substr(1);
    ParseTextSection(sections[i].body, language.texts);
    if (table.languages.size() == kEnglishLanguage) table.english_section = sections[i].body;
    table.languages.push_back(std::move(language));
  }

  if (table.languages.size() > kEnglishLanguage) {
    const TextTable& english = table.languages[kEnglishLanguage].texts;
    for (Language& language : table.languages) language.percent = CompletenessPercent(english, language.texts);
  }
  return table;
}

}  // namespace korvanel
