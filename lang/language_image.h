#pragma once
// The LZARI-packed language table compiled into the program (generated at build time from
// lang/texts/ by korvanel-langtable and korvanel-lzari).

#include <cstdint>
#include <span>

namespace korvanel {

std::span<const std::uint8_t> BuiltInLanguageImage();

}  // namespace korvanel
