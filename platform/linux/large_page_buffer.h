#pragma once
#include <cstddef>

#include "common/aligned_buffer.h"

namespace korvanel::platform {

// The size of the transparent huge pages the kernel can give, or 0 when it gives none that a
// transfer buffer should use.
size_t LargePageBytes();

// A zeroed buffer of at least `bytes`, aligned to `alignment`, which the kernel is asked to back
// with huge pages. Physically contiguous memory lets a 1 MiB block travel as one request: spread
// over 256 scattered 4 KiB pages it exceeds the segment limit of many devices (254 on virtio, 128
// on loop) and the block layer splits it. Without huge pages it is an ordinary buffer.
AlignedBuffer NewLargePageBuffer(size_t bytes, size_t alignment);

}  // namespace korvanel::platform
