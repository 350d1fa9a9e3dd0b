#pragma once
// A size limit as people read it in a message: "1 MiB", "64 KiB", "1000 bytes".

#include <cstddef>
#include <string>

namespace korvanel {

inline std::string SizeLimitText(size_t bytes) {
  if (bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  if (bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace korvanel
