#pragma once
// LZARI encoder producing the streams that LZARI (lang/lzari.h) decodes. Used at build time to pack
// the language table into the program.

#include <cstdint>
#include <span>
#include <vector>

namespace korvanel {

// Compresses `input` into a stream with its 4-byte size header. Returns an empty vector (never a
// valid stream, which always has a header) when the input is 4 GiB or larger.
std::vector<std::uint8_t> LzariEncode(std::span<const std::uint8_t> input);

}  // namespace korvanel
