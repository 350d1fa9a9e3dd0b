#include "lang/lzari.h"

#include <algorithm>

namespace korvanel {

using namespace lzari;

struct LZARI::Source {
  std::span<const std::uint8_t> bytes;
  std::size_t position = 0;

  // Past the end every byte reads as all ones, like a stream reader that returns end-of-file.
  std::uint16_t NextByte() { return position < bytes.size() ? bytes[position++] : 0xFFFF; }
};

struct LZARI::Sink {
  std::uint8_t* out;
  std::size_t capacity;
  std::size_t length = 0;

  void Put(std::uint8_t byte) {
    if (length + 1 < capacity) out[length++] = byte;
  }
};

LZARI::LZARI() = default;

int LZARI::NextBit(Source& source) {
  bit_mask_ = static_cast<std::uint16_t>(bit_mask_ >> 1);
  if (bit_mask_ == 0) {
    bit_buffer_ = source.NextByte();
    bit_mask_ = 0x80;
  }
  return (bit_buffer_ & bit_mask_) != 0 ? 1 : 0;
}

void LZARI::Narrow(std::uint32_t upper_cum, std::uint32_t lower_cum, std::uint32_t total) {
  const std::uint32_t range = high_ - low_;
  high_ = low_ + range * upper_cum / total;
  low_ = low_ + range * lower_cum / total;
}

void LZARI::Renormalize(Source& source) {
  for (;;) {
    if (low_ >= kQ2) {
      value_ -= kQ2;
      low_ -= kQ2;
      high_ -= kQ2;
    } else if (low_ >= kQ1 && high_ <= kQ3) {
      value_ -= kQ1;
      low_ -= kQ1;
      high_ -= kQ1;
    } else if (high_ > kQ2) {
      return;
    }
    low_ += low_;
    high_ += high_;
    value_ = 2 * value_ + static_cast<std::uint32_t>(NextBit(source));
  }
}

int LZARI::DecodeSymbolChar(Source& source) {
  const std::uint32_t total = model_.SymbolCumulative(0);
  const std::uint32_t range = high_ - low_;
  const int symbol = model_.FindSymbol(((value_ - low_ + 1) * total - 1) / range);
  Narrow(model_.SymbolCumulative(symbol - 1), model_.SymbolCumulative(symbol), total);
  Renormalize(source);
  const int symbol_char = model_.CharOf(symbol);
  model_.Update(symbol);
  return symbol_char;
}

int LZARI::DecodePosition(Source& source) {
  const std::uint32_t total = model_.PositionCumulative(0);
  const std::uint32_t range = high_ - low_;
  const int position = model_.FindPosition(((value_ - low_ + 1) * total - 1) / range);
  Narrow(model_.PositionCumulative(position), model_.PositionCumulative(position + 1), total);
  Renormalize(source);
  return position;
}

std::size_t LZARI::DecodeFromMemory(std::span<const std::uint8_t> input, std::uint8_t* out,
                                    std::size_t capacity) {
  Source source{input};
  Sink sink{out, out ? capacity : 0};
  bit_buffer_ = 0;
  bit_mask_ = 0;
  unpacked_size_ = 0;
  model_.Start();
  if (input.size() < 4) return 0;
  for (int i = 0; i < 4; ++i) unpacked_size_ |= std::uint32_t{source.NextByte()} << (8 * i);
  if (unpacked_size_ == 0) return 0;

  low_ = 0;
  high_ = kQ4;
  value_ = 0;
  for (int i = 0; i < kCodeValueBits; ++i) value_ = 2 * value_ + static_cast<std::uint32_t>(NextBit(source));

  std::fill(text_buf_.begin(), text_buf_.begin() + (kRingSize - kMaxMatch), std::uint8_t{' '});
  int write_pos = kRingSize - kMaxMatch;
  auto emit = [&](std::uint8_t byte) {
    sink.Put(byte);
    text_buf_[write_pos] = byte;
    write_pos = (write_pos + 1) & kRingMask;
  };

  std::uint32_t produced = 0;
  while (produced < unpacked_size_) {
    const int symbol_char = DecodeSymbolChar(source);
    if (symbol_char < 256) {
      emit(static_cast<std::uint8_t>(symbol_char));
      ++produced;
      continue;
    }
    // Read each byte just before writing the next one, so a match may overlap its own output.
    const int start = (write_pos - DecodePosition(source) - 1) & kRingMask;
    const int length = LengthOfSymbolChar(symbol_char);
    for (int k = 0; k < length; ++k) emit(text_buf_[(start + k) & kRingMask]);
    produced += static_cast<std::uint32_t>(length);
  }
  return sink.length;
}

std::uint32_t LzariDeclaredSize(std::span<const std::uint8_t> stream) {
  if (stream.size() < 4) return 0;
  return std::uint32_t{stream[0]} | std::uint32_t{stream[1]} << 8 | std::uint32_t{stream[2]} << 16 |
         std::uint32_t{stream[3]} << 24;
}

std::vector<std::uint8_t> LzariDecode(std::span<const std::uint8_t> stream, std::size_t max_size) {
  const std::size_t declared = LzariDeclaredSize(stream);
  if (declared > max_size) return {};
  std::vector<std::uint8_t> out(declared + 1);
  LZARI decoder;
  out.resize(decoder.DecodeFromMemory(stream, out.data(), out.size()));
  return out;
}

}  // namespace korvanel
