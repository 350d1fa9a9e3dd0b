#include "lang/lzari_model.h"

#include <utility>

namespace korvanel::lzari {

void Model::Start() {
  sym_cum_[kSymbolCount] = 0;
  for (int sym = kSymbolCount; sym >= 1; --sym) {
    char_to_sym_[sym - 1] = static_cast<std::uint16_t>(sym);
    sym_to_char_[sym] = static_cast<std::uint16_t>(sym - 1);
    sym_freq_[sym] = 1;
    sym_cum_[sym - 1] = static_cast<std::uint16_t>(sym_cum_[sym] + sym_freq_[sym]);
  }
  // Frequency 0 at index 0 stops the walk in Update() that looks for equal frequencies.
  sym_freq_[0] = 0;

  position_cum_[kRingSize] = 0;
  for (int i = kRingSize; i >= 1; --i) {
    position_cum_[i - 1] = static_cast<std::uint16_t>(position_cum_[i] + 10000 / (i + 200));
  }
}

int Model::FindSymbol(std::uint32_t target) const {
  int low = 1;
  int high = kSymbolCount;
  while (low < high) {
    const int middle = (low + high) / 2;
    if (sym_cum_[middle] > target) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

int Model::FindPosition(std::uint32_t target) const {
  int low = 1;
  int high = kRingSize;
  while (low < high) {
    const int middle = (low + high) / 2;
    if (position_cum_[middle] > target) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low - 1;
}

void Model::Rescale() {
  std::uint16_t sum = 0;
  for (int i = kSymbolCount; i >= 1; --i) {
    sym_cum_[i] = sum;
    sym_freq_[i] = static_cast<std::uint16_t>((sym_freq_[i] + 1) / 2);
    sum = static_cast<std::uint16_t>(sum + sym_freq_[i]);
  }
  sym_cum_[0] = sum;
}

void Model::Update(int symbol) {
  if (sym_cum_[0] >= kMaxCumulative) Rescale();
  // Keep the table sorted: move the symbol in front of all symbols that share its frequency.
  int i = symbol;
  while (sym_freq_[i] == sym_freq_[i - 1]) --i;
  if (i < symbol) {
    const int char_i = sym_to_char_[i];
    const int char_symbol = sym_to_char_[symbol];
    std::swap(sym_to_char_[i], sym_to_char_[symbol]);
    char_to_sym_[char_i] = static_cast<std::uint16_t>(symbol);
    char_to_sym_[char_symbol] = static_cast<std::uint16_t>(i);
  }
  ++sym_freq_[i];
  while (--i >= 0) ++sym_cum_[i];
}

}  // namespace korvanel::lzari
