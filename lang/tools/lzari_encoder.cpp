#include "lang/tools/lzari_encoder.h"

#include <cstddef>
#include <limits>
#include <memory>

#include "lang/lzari_model.h"
#include "lang/tools/lzari_match_tree.h"

namespace korvanel {

using namespace lzari;

namespace {

class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Put(int bit) {
    if (bit) buffer_ |= mask_;
    mask_ >>= 1;
    if (mask_ == 0) {
      out_.push_back(buffer_);
      buffer_ = 0;
      mask_ = 0x80;
    }
  }

  // Pads the last partial byte with zero bits.
  void Flush() {
    if (mask_ != 0x80) out_.push_back(buffer_);
    buffer_ = 0;
    mask_ = 0x80;
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint8_t buffer_ = 0;
  std::uint8_t mask_ = 0x80;
};

class ArithmeticEncoder {
 public:
  explicit ArithmeticEncoder(std::vector<std::uint8_t>& out) : bits_(out) {}

  void EncodeSymbolChar(int symbol_char) {
    const int symbol = model_.SymbolOf(symbol_char);
    Narrow(model_.SymbolCumulative(symbol - 1), model_.SymbolCumulative(symbol),
           model_.SymbolCumulative(0));
    model_.Update(symbol);
  }

  void EncodePosition(int position) {
    Narrow(model_.PositionCumulative(position), model_.PositionCumulative(position + 1),
           model_.PositionCumulative(0));
  }

  // Writes enough bits to pin the final interval: the decoder reads 1-bits past our last byte, and
  // either "01..." or "10..." followed by anything lies inside [low, high) after renormalising.
  void Finish() {
    ++pending_;
    Output(low_ < kQ1 ? 0 : 1);
    bits_.Flush();
  }

 private:
  void Narrow(std::uint32_t upper_cum, std::uint32_t lower_cum, std::uint32_t total) {
    const std::uint32_t range = high_ - low_;
    high_ = low_ + range * upper_cum / total;
    low_ = low_ + range * lower_cum / total;
    for (;;) {
      if (high_ <= kQ2) {
        Output(0);
      } else if (low_ >= kQ2) {
        Output(1);
        low_ -= kQ2;
        high_ -= kQ2;
      } else if (low_ >= kQ1 && high_ <= kQ3) {
        // Straddling the middle: the next bit is not known yet, only that the one after is its opposite.
        ++pending_;
        low_ -= kQ1;
        high_ -= kQ1;
      } else {
        return;
      }
      low_ += low_;
      high_ += high_;
    }
  }

  void Output(int bit) {
    bits_.Put(bit);
    for (; pending_ > 0; --pending_) bits_.Put(!bit);
  }

  BitWriter bits_;
  Model model_;
  std::uint32_t low_ = 0;
  std::uint32_t high_ = kQ4;
  long pending_ = 0;
};

void PutSizeHeader(std::vector<std::uint8_t>& out, std::uint32_t size) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> LzariEncode(std::span<const std::uint8_t> input) {
  if (input.size() > std::numeric_limits<std::uint32_t>::max()) return {};
  std::vector<std::uint8_t> out;
  out.reserve(input.size() / 2 + 16);
  PutSizeHeader(out, static_cast<std::uint32_t>(input.size()));
  if (input.empty()) return out;

  auto tree = std::make_unique<MatchTree>();  // ~70 KB: too large for a comfortable stack frame
  ArithmeticEncoder coder(out);
  std::size_t next_input = 0;

  // The look-ahead occupies ring positions [current, current + lookahead); `oldest` is the position
  // that the next input byte overwrites, kMaxMatch ahead of `current`.
  int oldest = 0;
  int current = kRingSize - kMaxMatch;
  int lookahead = 0;
  while (lookahead < kMaxMatch && next_input < input.size()) {
    tree->Put(current + lookahead++, input[next_input++]);
  }
  // Register the blanks just before the look-ahead so a leading run of blanks can match them.
  for (int i = 1; i <= kMaxMatch; ++i) tree->Insert(current - i);
  Match match = tree->Insert(current);

  do {
    if (match.length > lookahead) match.length = lookahead;
    int consumed = 1;
    if (match.length <= kMatchThreshold) {
      coder.EncodeSymbolChar(tree->At(current));
    } else {
      coder.EncodeSymbolChar(SymbolCharForLength(match.length));
      coder.EncodePosition(match.distance - 1);
      consumed = match.length;
    }
    for (int i = 0; i < consumed; ++i) {
      tree->Remove(oldest);
      if (next_input < input.size()) {
        tree->Put(oldest, input[next_input++]);
      } else {
        --lookahead;
      }
      oldest = (oldest + 1) & kRingMask;
      current = (current + 1) & kRingMask;
      if (lookahead > 0) match = tree->Insert(current);
    }
  } while (lookahead > 0);

  coder.Finish();
  return out;
}

}  // namespace korvanel
