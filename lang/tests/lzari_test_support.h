#pragma once
// Byte helpers shared by the LZARI tests.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace korvanel {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// `size` bytes drawn from the first `alphabet` byte values; the same seed gives the same bytes.
inline Bytes RandomBytes(std::size_t size, unsigned seed, int alphabet) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> pick(0, alphabet - 1);
  Bytes bytes(size);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(pick(generator));
  return bytes;
}

}  // namespace korvanel
