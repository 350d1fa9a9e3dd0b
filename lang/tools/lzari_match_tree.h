#pragma once
// The encoder's dictionary: a 4096-byte ring of recent input plus a binary search tree per first byte
// over the strings that start at each ring position, which finds the longest earlier match quickly.

#include <array>
#include <cstdint>

#include "lang/lzari_model.h"

namespace korvanel::lzari {

struct Match {
  int length = 0;    // 0 when no string of at least kMatchThreshold + 1 bytes matched
  int distance = 0;  // ring distance back from the searched position, 1..4095
};

class MatchTree {
 public:
  MatchTree() { Reset(); }

  // Fills the ring with blanks (as the decoder does) and empties the tree.
  void Reset();

  std::uint8_t At(int position) const { return ring_[position]; }
  // Stores a byte, keeping the mirror of the ring's start behind its end up to date.
  void Put(int position, std::uint8_t byte);

  // Adds the string at `position` and returns the longest (then nearest) match among the strings
  // already in the tree; an older string identical over kMaxMatch bytes is replaced.
  Match Insert(int position);
  // Takes the string at `position` out of the tree; does nothing when it is not there.
  void Remove(int position);

 private:
  static constexpr int kNil = kRingSize;
  static constexpr int kRootBase = kRingSize + 1;  // roots are kRootBase + first byte

  void ReplaceNode(int old_node, int new_node);

  // The mirror lets a comparison run up to kMaxMatch - 1 bytes past the end without wrapping.
  std::array<std::uint8_t, kRingSize + kMaxMatch - 1> ring_{};
  std::array<int, kRingSize + 1> parent_{};
  std::array<int, kRingSize + 1> smaller_{};
  std::array<int, kRingSize + 257> larger_{};
};

}  // namespace korvanel::lzari
