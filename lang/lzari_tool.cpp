// korvanel-lzari: packs and unpacks LZARI streams; the build uses it to pack the language table.
//   korvanel-lzari e IN OUT
//   korvanel-lzari d IN OUT [--capacity N]   (stores at most N - 1 bytes, as the program's loader does)
// Like the program's loader, it refuses a stream that declares more than kMaxLzariUnpackedBytes.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "lang/lzari.h"
#include "lang/lzari_encoder.h"

namespace {

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

int Usage() {
  std::cerr << "usage: korvanel-lzari e IN OUT\n"
               "       korvanel-lzari d IN OUT [--capacity N]\n";
  return 2;
}

std::optional<std::size_t> ParseCapacity(const std::string& text) {
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || text[0] == '-') return std::nullopt;
  return static_cast<std::size_t>(value);
}

std::vector<std::uint8_t> Decode(const std::vector<std::uint8_t>& stream, std::optional<std::size_t> capacity) {
  if (!capacity) return korvanel::LzariDecode(stream);
  // No more room than the stream can fill: a large capacity must not allocate by itself.
  std::vector<std::uint8_t> out(std::min<std::size_t>(*capacity, korvanel::LzariDeclaredSize(stream) + std::size_t{1}));
  korvanel::LZARI decoder;
  out.resize(decoder.DecodeFromMemory(stream, out.data(), out.size()));
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 6) return Usage();
  const std::string mode = argv[1];
  std::optional<std::size_t> capacity;
  if (argc == 6) {
    if (mode != "d" || std::string(argv[4]) != "--capacity") return Usage();
    capacity = ParseCapacity(argv[5]);
    if (!capacity) return Usage();
  }
  if (mode != "e" && mode != "d") return Usage();

  const auto input = ReadFile(argv[2]);
  if (!input) {
    std::cerr << "korvanel-lzari: cannot read " << argv[2] << "\n";
    return 1;
  }
  if (mode == "d" && korvanel::LzariDeclaredSize(*input) > korvanel::kMaxLzariUnpackedBytes) {
    std::cerr << "korvanel-lzari: " << argv[2] << " declares " << korvanel::LzariDeclaredSize(*input)
              << " unpacked bytes, more than the " << (korvanel::kMaxLzariUnpackedBytes >> 20)
              << " MiB a language table may have\n";
    return 1;
  }
  const std::vector<std::uint8_t> output = mode == "e" ? korvanel::LzariEncode(*input) : Decode(*input, capacity);
  if (mode == "e" && output.empty()) {
    std::cerr << "korvanel-lzari: " << argv[2] << " is too large (4 GiB or more)\n";
    return 1;
  }
  if (!WriteFile(argv[3], output)) {
    std::cerr << "korvanel-lzari: cannot write " << argv[3] << "\n";
    return 1;
  }
  return 0;
}
