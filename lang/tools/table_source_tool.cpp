// korvanel-langtable: builds the stored language table from its UTF-8 sources.
//   korvanel-langtable OUT HEADER SPECIAL RESERVED_EN RESERVED_DE [LANGUAGE...]

#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "lang/tools/table_source.h"

namespace {

std::optional<korvanel::TableSource> ReadSource(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return korvanel::TableSource{path, std::move(text)};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::cerr << "usage: korvanel-langtable OUT HEADER SPECIAL RESERVED_EN RESERVED_DE [LANGUAGE...]\n";
    return 2;
  }
  std::vector<korvanel::TableSource> sources;
  for (int i = 2; i < argc; ++i) {
    auto source = ReadSource(argv[i]);
    if (!source) {
      std::cerr << "korvanel-langtable: cannot read " << argv[i] << "\n";
      return 1;
    }
    sources.push_back(std::move(*source));
  }
  const std::vector<korvanel::TableSource> fixed(sources.begin() + 1, sources.begin() + 4);
  const std::vector<korvanel::TableSource> languages(sources.begin() + 4, sources.end());
  const korvanel::TableBuild build = korvanel::BuildLanguageTable(sources[0], fixed, languages);
  if (!build.error.empty()) {
    std::cerr << "korvanel-langtable: " << build.error << "\n";
    return 1;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(build.table.data(), static_cast<std::streamsize>(build.table.size()));
  out.close();
  if (!out) {
    std::cerr << "korvanel-langtable: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
