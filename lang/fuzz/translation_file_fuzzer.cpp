// A translation file as a volunteer may send it, in any encoding or none. Decoding, parsing and the
// completeness report must never crash; the decoded text is valid UTF-8 without NULs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lang/language_table.h"
#include "common/text_encoding.h"
#include "lang/text_section.h"
#include "lang/translation_file.h"

namespace {

const korvanel::TextTable& English() {
  static const korvanel::TextTable english = [] {
    korvanel::TextTable table;
    korvanel::ParseTextSection("0004=Donate\r\n0015=Start \r\n0016=Stop\r\n0105=Access Time\r\n", table);
    return table;
  }();
  return english;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = korvanel::DecodeTranslationFileBytes(bytes);
  if (text.find('\0') != std::string::npos || !korvanel::IsValidUtf8(text)) __builtin_trap();
  korvanel::TextTable texts;
  korvanel::ParseTextSection(text, texts);
  korvanel::CompletenessReport(English(), texts);
  korvanel::SpecialTextTable special;
  korvanel::ParseSpecialSection(text, special);
  // The same lines make up the language table; its indexer sees them in sections.
  korvanel::IndexLanguageTable(text);
  return 0;
}
