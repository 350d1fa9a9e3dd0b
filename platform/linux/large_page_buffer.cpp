#include "platform/linux/large_page_buffer.h"

#include <sys/mman.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace korvanel::platform {
namespace {

// Larger huge pages (512 MiB with 64 KiB base pages) would cost more memory than they save.
constexpr size_t kLargestUsefulPage = 32u << 20;

size_t ReadLargePageBytes() {
  std::ifstream enabled("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  std::getline(enabled, modes);
  if (modes.find("[never]") != std::string::npos || modes.empty()) return 0;
  std::ifstream size_file("/sys/kernel/mm/transparent_hugepage/hpage_pmd_size");
  size_t bytes = 0;
  if (!(size_file >> bytes) || bytes > kLargestUsefulPage) return 0;
  return bytes;
}

void AdviseHugePages(void* data, size_t bytes) { ::madvise(data, bytes, MADV_HUGEPAGE); }

}  // namespace

size_t LargePageBytes() {
  static const size_t bytes = ReadLargePageBytes();
  return bytes;
}

AlignedBuffer NewLargePageBuffer(size_t bytes, size_t alignment) {
  const size_t page = LargePageBytes();
  if (page == 0) return AlignedBuffer(bytes, alignment);
  // The kernel only maps a huge page over a whole, aligned huge page of the range.
  const size_t rounded = (bytes + page - 1) / page * page;
  return AlignedBuffer(rounded, std::max(alignment, page), AdviseHugePages);
}

}  // namespace korvanel::platform
