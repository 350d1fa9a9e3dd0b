#include "lang/tools/lzari_match_tree.h"

#include <algorithm>

namespace korvanel::lzari {

void MatchTree::Reset() {
  // The decoder starts from a ring of blanks; the encoder must search the same history.
  ring_.fill(' ');
  parent_.fill(kNil);
  smaller_.fill(kNil);
  larger_.fill(kNil);
}

void MatchTree::Put(int position, std::uint8_t byte) {
  ring_[position] = byte;
  if (position < kMaxMatch - 1) ring_[position + kRingSize] = byte;
}

Match MatchTree::Insert(int position) {
  const std::uint8_t* key = &ring_[position];
  smaller_[position] = larger_[position] = kNil;
  Match best;
  int node = kRootBase + key[0];
  int order = 1;
  for (;;) {
    int& child = order >= 0 ? larger_[node] : smaller_[node];
    if (child == kNil) {
      child = position;
      parent_[position] = node;
      return best;
    }
    node = child;

    int length = 1;
    for (; length < kMaxMatch; ++length) {
      order = key[length] - ring_[node + length];
      if (order != 0) break;
    }
    if (length > kMatchThreshold) {
      const int distance = (position - node) & kRingMask;
      if (length > best.length) {
        best = {length, distance};
        if (length >= kMaxMatch) break;
      } else if (length == best.length) {
        best.distance = std::min(best.distance, distance);
      }
    }
  }
  // A full-length duplicate: the newer string takes the older one's place, so later searches find
  // the nearer copy.
  ReplaceNode(node, position);
  return best;
}

void MatchTree::ReplaceNode(int old_node, int new_node) {
  parent_[new_node] = parent_[old_node];
  smaller_[new_node] = smaller_[old_node];
  larger_[new_node] = larger_[old_node];
  parent_[smaller_[old_node]] = new_node;
  parent_[larger_[old_node]] = new_node;
  const int up = parent_[old_node];
  if (larger_[up] == old_node) {
    larger_[up] = new_node;
  } else {
    smaller_[up] = new_node;
  }
  parent_[old_node] = kNil;
}

void MatchTree::Remove(int position) {
  if (parent_[position] == kNil) return;
  int successor;
  if (larger_[position] == kNil) {
    successor = smaller_[position];
  } else if (smaller_[position] == kNil) {
    successor = larger_[position];
  } else {
    // Both subtrees present: lift the largest node of the smaller subtree into the gap.
    successor = smaller_[position];
    if (larger_[successor] != kNil) {
      while (larger_[successor] != kNil) successor = larger_[successor];
      larger_[parent_[successor]] = smaller_[successor];
      parent_[smaller_[successor]] = parent_[successor];
      smaller_[successor] = smaller_[position];
      parent_[smaller_[position]] = successor;
    }
    larger_[successor] = larger_[position];
    parent_[larger_[position]] = successor;
  }
  parent_[successor] = parent_[position];
  const int up = parent_[position];
  if (larger_[up] == position) {
    larger_[up] = successor;
  } else {
    smaller_[up] = successor;
  }
  parent_[position] = kNil;
}

}  // namespace korvanel::lzari
