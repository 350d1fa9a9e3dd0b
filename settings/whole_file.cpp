#include "settings/whole_file.h"

#include <fstream>
#include <iterator>

#include "common/replace_file.h"
#include "common/path_text.h"

namespace korvanel {
std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return content;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
  return !ReplaceFileWithPieces(path, {content});
}

}  // namespace korvanel
