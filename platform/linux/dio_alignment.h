#pragma once
#include <cstdint>
#include <string>

namespace korvanel::platform {
// The memory alignment direct I/O needs on the file system holding `name` in the open directory
// `dir_fd`: at least 4096.
uint32_t DirectIoMemoryAlignment(int dir_fd, const std::string& name);
}  // namespace korvanel::platform
