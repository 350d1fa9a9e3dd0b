#pragma once
// The fixture of the translation file tests.

#include <fstream>
#include <iterator>
#include <string>

#include "common/path_text.h"
#include "lang/tests/language_test_support.h"

namespace korvanel {

class TranslationFileTest : public LanguageStateTest {
 protected:
  std::string WriteBytes(const std::string& name, const std::string& bytes) {
    const std::string path = scratch_dir_ / name;
    std::ofstream(PathFromUtf8(path), std::ios::binary) << bytes;
    return path;
  }

  static std::string ReadBytes(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  // The English texts as "id=text" lines, without the ids in `skip`.
  static std::string EnglishLines(const std::set<int>& skip) {
    const TextTable english = LanguageTexts(kEnglishLanguage);
    std::string lines;
    for (int id = 0; id < 256; ++id) {
      if (english[id] && !skip.contains(id)) lines += std::to_string(id) + "=" + *english[id] + "\r\n";
    }
    return lines;
  }
};

}  // namespace korvanel
