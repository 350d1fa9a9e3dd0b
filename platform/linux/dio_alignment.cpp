// Kept apart because the kernel's struct statx (with the direct-I/O fields) clashes with glibc's.
#include <fcntl.h>
#include <linux/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/linux/dio_alignment.h"

namespace korvanel::platform {

uint32_t DirectIoMemoryAlignment(int dir_fd, const std::string& name) {
  constexpr uint32_t kPage = 4096;
  struct statx info {};
  if (::syscall(SYS_statx, dir_fd, name.c_str(), AT_SYMLINK_NOFOLLOW, STATX_DIOALIGN, &info) != 0) return kPage;
  if (!(info.stx_mask & STATX_DIOALIGN)) return kPage;  // directories usually don't say
  return info.stx_dio_mem_align > kPage ? info.stx_dio_mem_align : kPage;
}

}  // namespace korvanel::platform
