#include "platform/windows/large_page_buffer_windows.h"

#include <windows.h>

#include "platform/windows/unique_handle.h"

namespace korvanel::platform {
namespace {

// Large pages need the privilege enabled in the token; only accounts granted "Lock pages in memory"
// have it at all, and then enabling it succeeds.
bool EnableLockMemoryPrivilege() {
  HANDLE raw_token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw_token)) return false;
  UniqueHandle token(raw_token);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueW(nullptr, L"SeLockMemoryPrivilege", &privileges.Privileges[0].Luid)) return false;
  // AdjustTokenPrivileges succeeds even when it enabled nothing; ERROR_NOT_ALL_ASSIGNED tells.
  if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) return false;
  return GetLastError() == ERROR_SUCCESS;
}

void ReleaseVirtual(void* data, size_t) { VirtualFree(data, 0, MEM_RELEASE); }

}  // namespace

bool LargePagesAvailable() {
  static const bool available = GetLargePageMinimum() > 0 && EnableLockMemoryPrivilege();
  return available;
}

AlignedBuffer NewVirtualBuffer(size_t bytes, size_t alignment) {
  // VirtualAlloc hands out whole pages at 64 KiB boundaries; anything stricter is not asked for.
  (void)alignment;
  if (LargePagesAvailable()) {
    const size_t page = GetLargePageMinimum();
    const size_t rounded = (bytes + page - 1) / page * page;
    void* data = VirtualAlloc(nullptr, rounded, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES, PAGE_READWRITE);
    if (data != nullptr) return AlignedBuffer::Adopt(data, rounded, ReleaseVirtual);
  }
  // Committed pages come zeroed.
  void* data = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  return AlignedBuffer::Adopt(data, bytes, ReleaseVirtual);
}

}  // namespace korvanel::platform
