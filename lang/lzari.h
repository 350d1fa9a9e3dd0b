#pragma once
// Decoder for LZARI streams: LZSS matches over a 4096-byte dictionary whose literals and lengths are
// arithmetic-coded with an adaptive model and whose positions with a fixed one.
// Stream layout: unpacked size (unsigned 32-bit little-endian), then the code bits, high bit first.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "lang/lzari_model.h"

namespace korvanel {

class LZARI {
 public:
  LZARI();
  virtual ~LZARI() = default;

  // Decodes the stream in `input` into `out`, storing at most capacity - 1 bytes; further output is
  // dropped while decoding still runs to the end. Never fails: bits past the end of the input read
  // as 1, and an input shorter than its 4-byte header decodes to nothing. Returns the bytes stored;
  // unpacked_size() then tells how many the stream declared. Each call starts from a clean state.
  std::size_t DecodeFromMemory(std::span<const std::uint8_t> input, std::uint8_t* out,
                               std::size_t capacity);

  // The unpacked size from the header of the last decoded stream (0 before any decode).
  std::uint32_t unpacked_size() const { return unpacked_size_; }

  // The models as the last decode left them (fresh after construction).
  const lzari::Model& model() const { return model_; }

 private:
  struct Source;
  struct Sink;

  int NextBit(Source& source);
  void Narrow(std::uint32_t upper_cum, std::uint32_t lower_cum, std::uint32_t total);
  void Renormalize(Source& source);
  int DecodeSymbolChar(Source& source);
  int DecodePosition(Source& source);

  std::uint16_t bit_buffer_ = 0;
  std::uint16_t bit_mask_ = 0;
  std::uint32_t unpacked_size_ = 0;
  // The spare tail beyond the dictionary mirrors its start; only an encoder's match search reads it.
  std::array<std::uint8_t, lzari::kRingSize + lzari::kMaxMatch - 1> text_buf_{};
  std::uint32_t low_ = 0;
  std::uint32_t high_ = lzari::kQ4;
  std::uint32_t value_ = 0;
  lzari::Model model_;
};

// The most a stream may unpack to here: the language table is some 70 KiB, and a corrupt or hostile
// header (5 bytes can ask for 4 GiB) must not make us allocate, decode and write gigabytes.
inline constexpr std::size_t kMaxLzariUnpackedBytes = 64u << 20;

// The unpacked size a stream's header declares; 0 for a stream shorter than its header.
std::uint32_t LzariDeclaredSize(std::span<const std::uint8_t> stream);

// Decodes a whole stream into a buffer of the size its header declares. Returns an empty buffer when
// the header declares more than `max_size` bytes.
std::vector<std::uint8_t> LzariDecode(std::span<const std::uint8_t> stream,
                                      std::size_t max_size = kMaxLzariUnpackedBytes);

}  // namespace korvanel
