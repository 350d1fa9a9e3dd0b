#include "platform/linux/large_page_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace korvanel::platform {
namespace {

// AddressSanitizer's allocator writes its own bookkeeping into the memory it hands out before we
// get it, so the range is already faulted in as small pages when the advice comes.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

// KiB of huge pages backing the mapping that holds `address`, from /proc/self/smaps.
size_t HugePageKiBAt(const void* address) {
  const auto wanted = reinterpret_cast<uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  bool inside = false;
  for (std::string line; std::getline(smaps, line);) {
    uintptr_t begin = 0, end = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> begin >> dash >> end && dash == '-') {
      inside = begin <= wanted && wanted < end;
    } else if (inside && line.rfind("AnonHugePages:", 0) == 0) {
      return std::stoul(line.substr(14));
    }
  }
  return 0;
}

TEST(LargePageBuffer, IsZeroedAlignedAndBackedByAHugePage) {
  const size_t block = 1u << 20;
  AlignedBuffer buffer = NewLargePageBuffer(block, 4096);
  ASSERT_TRUE(buffer);
  ASSERT_GE(buffer.size(), block);
  EXPECT_TRUE(std::all_of(buffer.data(), buffer.data() + buffer.size(), [](uint8_t b) { return b == 0; }));
  const size_t page = LargePageBytes();
  if (page == 0) GTEST_SKIP() << "the kernel gives no transparent huge pages here";
  if (kAddressSanitizer) GTEST_SKIP() << "under AddressSanitizer the buffer is touched before the advice";
  EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.data()) % page, 0u);
  // The advice must come before the first write: memory already faulted in as small pages stays so.
  EXPECT_GE(HugePageKiBAt(buffer.data()), page / 1024);
}

TEST(LargePageBuffer, KeepsALargerAlignmentAskedFor) {
  const size_t alignment = std::max<size_t>(LargePageBytes(), 4096) * 2;
  AlignedBuffer buffer = NewLargePageBuffer(4096, alignment);
  ASSERT_TRUE(buffer);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.data()) % alignment, 0u);
  EXPECT_EQ(buffer.size() % alignment, 0u);  // aligned_alloc takes only whole alignments
}

}  // namespace
}  // namespace korvanel::platform
