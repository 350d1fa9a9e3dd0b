#include "lang/translation_file.h"

#include <cerrno>

#include "common/path_text.h"

#include "lang/languages.h"
#include "lang/text_ids.h"
#include "common/text_encoding.h"
#include "platform/default_application.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace korvanel {

namespace {

constexpr int kListedMissingIds = 9;

bool HasText(const std::optional<std::string>& text) { return text && !text->empty(); }

bool TranslatesAnything(const TextTable& english, const TextTable& translated) {
  for (std::size_t id = 0; id < english.size(); ++id) {
    if (HasText(english[id]) && HasText(translated[id])) return true;
  }
  return false;
}

}  // namespace

std::string TranslationFileName() {
  std::string name = GetSpecialText(kProgramNameText);
  for (char& c : name) {
    if (c == ' ' || c == '/') c = '_';
  }
  return "translate_" + name + ".txt";
}

std::string TranslationFileText() {
  const std::string program = GetSpecialText(kProgramNameText);
  return "\r\nPlease don't forget! Write in e-mail subject: Strings for: " + program +
         " and Language Name : German / Deutsch \r\n\r\n" + GetSpecialText(kTranslatorRequestText) + "\r\n\r\n" +
         "##=" + LanguageDisplayName(kEnglishLanguage) + "\r\n\r\n" + EnglishSectionText() + "\r\n\r\n";
}

std::string TranslationFileBytes() { return "\xFF\xFE" + Utf8ToUtf16Le(TranslationFileText()).value_or(""); }

TranslationExport WriteTranslationFile(const std::string& directory) {
  TranslationExport result;
  result.path = JoinPath(directory, TranslationFileName());
  result.error = platform::ReplaceFile(result.path, {TranslationFileBytes()});
  result.written = !result.error;
  return result;
}

TranslationExport ExportTranslationFile(const TranslationOpener& open) {
  TranslationExport result;
  const platform::PrivateFile file = platform::WritePrivateTempFile(TranslationFileName(), {TranslationFileBytes()});
  result.path = file.path;
  result.error = file.error;
  result.notice = file.notice;
  result.written = !file.error;
  if (result.written) {
    const platform::OpenOutcome outcome = open(result.path);
    result.opened = outcome.launched;
    result.error = outcome.error;
  }
  return result;
}

std::string DecodeTranslationFileBytes(std::string_view bytes) {
  std::string text;
  if (bytes.starts_with("\xFF\xFE")) {
    text = Utf16LeToUtf8(bytes.substr(2));
  } else if (IsValidUtf8(bytes)) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    text = bytes;
  } else {
    text = Windows1252ToUtf8(bytes);
  }
  std::erase(text, '\0');
  return text;
}

std::string CompletenessReport(const TextTable& english, const TextTable& translated) {
  int total = 0;
  int have = 0;
  int missing = 0;
  std::string list = "\n\nmiss:\n";
  for (std::size_t id = 0; id < english.size(); ++id) {
    if (!HasText(english[id])) continue;
    ++total;
    if (HasText(translated[id])) {
      ++have;
      continue;
    }
    ++missing;
    if (missing <= kListedMissingIds) {
      list += std::to_string(id) + "=" + *english[id] + "\n";
    } else {
      if (missing == kListedMissingIds + 1) list += "...and...\n";
      list += std::to_string(id) + ",";
    }
  }
  const int percent = total == 0 ? 0 : static_cast<int>(static_cast<double>(have) / total * 100.0);
  std::string message = std::to_string(percent) + " %";
  if (missing > 0) message += list;
  return message;
}

TranslationLoad LoadTranslationFile(const std::string& path) {
  TranslationLoad result;
  std::string bytes;
  result.error = platform::ReadRegularFile(path, kMaxTranslationFileBytes, &bytes);
  if (result.error) return result;
  TextTable texts;
  ParseTextSection(DecodeTranslationFileBytes(bytes), texts);
  const TextTable english = LanguageTexts(kEnglishLanguage);
  if (!TranslatesAnything(english, texts)) {
    // Taken, it would only replace every text with English: refused, so the user learns it was not one.
    result.error = SysError::FromErrno(EINVAL, "no text of the program is translated in it (lines like \"0015=Start\")");
    return result;
  }
  result.message = CompletenessReport(english, texts);
  UseTranslationTexts(std::move(texts));
  return result;
}

}  // namespace korvanel
