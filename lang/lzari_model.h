#pragma once
// The probability models of the LZARI coder. Encoder and decoder share this class so that both sides
// adapt their symbol statistics in exactly the same way.

#include <array>
#include <cstdint>

namespace korvanel::lzari {

inline constexpr int kRingSize = 4096;           // dictionary size; positions are taken modulo this
inline constexpr int kRingMask = kRingSize - 1;
inline constexpr int kMaxMatch = 60;             // longest match
inline constexpr int kMatchThreshold = 2;        // a match must be longer than this to be coded as one
inline constexpr int kSymbolCount = 256 + kMaxMatch - kMatchThreshold;  // 314: literals, then lengths 3..60
inline constexpr std::uint32_t kQ1 = 0x8000;     // quarter points of the 17-bit code range
inline constexpr std::uint32_t kQ2 = 0x10000;
inline constexpr std::uint32_t kQ3 = 0x18000;
inline constexpr std::uint32_t kQ4 = 0x20000;
inline constexpr int kCodeValueBits = 17;        // precision (15) + 2
inline constexpr std::uint16_t kMaxCumulative = 0x7FFF;

// Symbol for a literal byte or a match length.
inline constexpr int SymbolCharForLength(int length) { return 255 - kMatchThreshold + length; }
inline constexpr int LengthOfSymbolChar(int symbol_char) { return symbol_char - 255 + kMatchThreshold; }

// Adaptive model for literals and lengths (symbols 1..314, kept sorted by falling frequency) and the
// fixed model for match positions 0..4095 (nearer positions are likelier).
class Model {
 public:
  Model() { Start(); }

  // Resets both models to their initial state.
  void Start();

  int SymbolOf(int symbol_char) const { return char_to_sym_[symbol_char]; }
  int CharOf(int symbol) const { return sym_to_char_[symbol]; }

  // Cumulative frequency above `symbol` (0..314); SymbolCumulative(0) is the total.
  std::uint32_t SymbolCumulative(int symbol) const { return sym_cum_[symbol]; }
  // Cumulative frequency above `position` (0..4096); PositionCumulative(0) is the total.
  std::uint32_t PositionCumulative(int position) const { return position_cum_[position]; }

  // The smallest symbol whose cumulative frequency is <= target.
  int FindSymbol(std::uint32_t target) const;
  // The position p with PositionCumulative(p + 1) <= target < PositionCumulative(p).
  int FindPosition(std::uint32_t target) const;

  // Counts one occurrence of `symbol`, halving all counts first when the total has grown too large.
  void Update(int symbol);

 private:
  void Rescale();

  std::array<std::uint16_t, kSymbolCount> char_to_sym_{};
  std::array<std::uint16_t, kSymbolCount + 1> sym_to_char_{};
  std::array<std::uint16_t, kSymbolCount + 1> sym_freq_{};
  std::array<std::uint16_t, kSymbolCount + 1> sym_cum_{};
  std::array<std::uint16_t, kRingSize + 1> position_cum_{};
};

}  // namespace korvanel::lzari
