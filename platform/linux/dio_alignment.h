#pragma once
#include <cstdint>
#include <string>

namespace korvanel::platform {
// The memory alignment direct I/O needs on the file system holding `path`: at least 4096.
uint32_t DirectIoMemoryAlignment(const std::string& path);
}  // namespace korvanel::platform
