// korvanel-lzari: packs and unpacks LZARI streams; the build uses it to pack the language table.
//   korvanel-lzari e IN OUT
//   korvanel-lzari d IN OUT [--capacity N]   (stores at most N - 1 bytes, as the program's loader does)
// Like the program's loader, it refuses a stream that declares more than kMaxLzariUnpackedBytes.
// IN must be a regular file no larger than a language table (or, packed, twice that); a stream's
// header is checked before the rest is read.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/size_limit_text.h"
#include "lang/lzari.h"
#include "lang/tools/lzari_encoder.h"

namespace {

// Far more than the packed table of any size the loader accepts could take.
constexpr std::size_t kMaxPackedBytes = 2 * korvanel::kMaxLzariUnpackedBytes;
constexpr std::size_t kHeaderBytes = 4;

// Reads the regular file at `path`, at most `max_bytes` of it; sets `error` and gives nullopt for
// anything else (a directory, a device such as /dev/zero that never ends, a larger file).
// `check_head` sees the first bytes before the rest is read, and may refuse them.
std::optional<std::vector<std::uint8_t>> ReadInput(
    const std::string& path, std::size_t max_bytes, std::string* error,
    const std::function<bool(const std::vector<std::uint8_t>& head, std::string* error)>& check_head) {
  const std::string unreadable = "cannot read " + path + ": ";
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (ec) {
    *error = unreadable + ec.message();
    return std::nullopt;
  }
  if (!std::filesystem::is_regular_file(status)) {
    *error = path + " is not a regular file";
    return std::nullopt;
  }
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    *error = unreadable + std::strerror(errno);
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(kHeaderBytes);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  if (!check_head(bytes, error)) return std::nullopt;
  const std::string too_large = path + " is larger than " + korvanel::SizeLimitText(max_bytes);
  if (std::filesystem::file_size(path, ec) > max_bytes && !ec) {
    *error = too_large;
    return std::nullopt;
  }
  // The size is not trusted to stay: the file may grow while it is read.
  std::uint8_t block[65536];
  while (const std::size_t count = std::fread(block, 1, sizeof block, file.get())) {
    bytes.insert(bytes.end(), block, block + count);
    if (bytes.size() > max_bytes) {
      *error = too_large;
      return std::nullopt;
    }
  }
  if (std::ferror(file.get())) {
    *error = unreadable + "read error";
    return std::nullopt;
  }
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

  const std::string in_path = argv[2];
  const bool decode = mode == "d";
  // A stream that asks for more than a table may have is refused before the rest of it is read.
  const auto check_header = [&](const std::vector<std::uint8_t>& head, std::string* error) {
    if (!decode || korvanel::LzariDeclaredSize(head) <= korvanel::kMaxLzariUnpackedBytes) return true;
    *error = in_path + " declares " + std::to_string(korvanel::LzariDeclaredSize(head)) +
             " unpacked bytes, more than the " + korvanel::SizeLimitText(korvanel::kMaxLzariUnpackedBytes) +
             " a language table may have";
    return false;
  };
  std::string error;
  const auto input = ReadInput(in_path, decode ? kMaxPackedBytes : korvanel::kMaxLzariUnpackedBytes, &error, check_header);
  if (!input) {
    std::cerr << "korvanel-lzari: " << error << "\n";
    return 1;
  }
  const std::vector<std::uint8_t> output = decode ? Decode(*input, capacity) : korvanel::LzariEncode(*input);
  if (!WriteFile(argv[3], output)) {
    std::cerr << "korvanel-lzari: cannot write " << argv[3] << "\n";
    return 1;
  }
  return 0;
}
