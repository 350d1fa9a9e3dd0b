#pragma once
#include <cstddef>

#include "common/aligned_buffer.h"

namespace korvanel::platform {

// A zeroed, page-aligned buffer from VirtualAlloc, in large pages where the user holds the right to
// lock pages in memory (SeLockMemoryPrivilege); otherwise in ordinary pages. Empty when out of memory.
AlignedBuffer NewVirtualBuffer(size_t bytes, size_t alignment);

// Whether the process may allocate large pages (the privilege is held and could be enabled).
bool LargePagesAvailable();

}  // namespace korvanel::platform
