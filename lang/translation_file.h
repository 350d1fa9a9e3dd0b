#pragma once
// Translation files: the English texts written out for a volunteer to translate, and a translated
// file read back in to replace the interface texts until a built-in language is chosen again.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "common/sys_error.h"
#include "platform/default_application.h"
#include "lang/text_section.h"

namespace korvanel {

// "translate_" + special text 19 with blanks (and slashes) as "_" + ".txt".
std::string TranslationFileName();

// The file's text as UTF-8 with CR LF line ends, without the byte-order mark: a head asking for the
// e-mail subject and the translator's request (special text 25), then "##=" + English's display
// name and the raw English section.
std::string TranslationFileText();

struct TranslationExport {
  std::string path;    // where the file was (or would have been) written
  bool written = false;
  bool opened = false; // the desktop's opener was started
  SysError error;      // why writing (or starting the opener) failed
  std::string notice;  // why the file is not where it usually goes (platform::PrivateFile)
};

// A translation file holds some 60 short texts; anything near this size is not one.
inline constexpr size_t kMaxTranslationFileBytes = 1u << 20;

// The translation file as written: the mark FF FE, then TranslationFileText() as UTF-16LE.
std::string TranslationFileBytes();

// Writes the translation file into `directory` (replacing an older one of the user's own, by the
// rules of platform::ReplaceFile); opens nothing.
TranslationExport WriteTranslationFile(const std::string& directory);

using TranslationOpener = std::function<platform::OpenOutcome(const std::string& path)>;

// Writes the translation file into Korvanel's private temporary directory and, when that worked,
// has `open` show it in the user's editor (the desktop's opener unless a caller passes another).
TranslationExport ExportTranslationFile(const TranslationOpener& open = platform::OpenWithDefaultApplication);

// A file's bytes as UTF-8 text: UTF-16LE when it starts with the mark FF FE, else UTF-8 (a UTF-8
// mark is dropped), else Windows-1252 when the bytes are not valid UTF-8. NUL characters are dropped.
std::string DecodeTranslationFileBytes(std::string_view bytes);

// The message shown after a load: "<percent> %" and, when ids are missing, "\n\nmiss:\n", the first
// nine missing ids as "<id>=<English text>\n", then "...and...\n" and every further one as "<id>,".
// Counts only ids whose English text is non-empty.
std::string CompletenessReport(const TextTable& english, const TextTable& translated);

struct TranslationLoad {
  std::string message;  // CompletenessReport of what was read; empty when the file could not be read
  SysError error;       // why the file could not be read
};

// Reads a translation file and makes its texts the active ones (translation mode); what it lacks
// stays English. Anything but a regular file of at most kMaxTranslationFileBytes, a file that cannot
// be read, or one in which no text of the program is recognised (an empty file, random bytes, the
// wrong file) changes nothing and returns the error.
TranslationLoad LoadTranslationFile(const std::string& path);

}  // namespace korvanel
