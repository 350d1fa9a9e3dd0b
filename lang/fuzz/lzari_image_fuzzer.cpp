// LZARI images: decoding any bytes must stay within the declared size and the sink, and any bytes
// must pack and unpack to themselves.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "lang/lzari.h"
#include "lang/tools/lzari_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> input(data, size);
  // A small bound keeps each run short; the bound itself is what is being tested.
  constexpr size_t kMaxUnpacked = 1u << 20;
  const std::vector<uint8_t> unpacked = korvanel::LzariDecode(input, kMaxUnpacked);
  const uint32_t declared = korvanel::LzariDeclaredSize(input);
  if (declared > kMaxUnpacked ? !unpacked.empty() : unpacked.size() > declared) __builtin_trap();

  // A small sink, as a loader with a fixed capacity has.
  if (declared <= kMaxUnpacked) {
    std::vector<uint8_t> sink(64);
    korvanel::LZARI decoder;
    if (decoder.DecodeFromMemory(input, sink.data(), sink.size()) > sink.size() - 1) __builtin_trap();
  }

  const std::vector<uint8_t> packed = korvanel::LzariEncode(input);
  if (korvanel::LzariDecode(packed) != std::vector<uint8_t>(data, data + size)) __builtin_trap();
  return 0;
}
