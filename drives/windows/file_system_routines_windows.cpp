// A 32-bit build on 64-bit Windows sees a redirected system directory unless it turns that off.

#include <windows.h>

#include "drives/file_system_routines.h"

namespace korvanel {
namespace {

int g_is_wow64 = -1;  // asked once, as the panel does at start

template <typename Function>
Function Kernel32Function(const char* name) {
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32");
  return kernel32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel32, name))) : nullptr;
}

}  // namespace

int IsWow64() {
  if (g_is_wow64 < 0) {
    using IsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto is_wow64_process = Kernel32Function<IsWow64Process>("IsWow64Process");
    BOOL wow64 = FALSE;
    g_is_wow64 = is_wow64_process != nullptr && is_wow64_process(GetCurrentProcess(), &wow64) && wow64 ? 1 : 0;
  }
  return g_is_wow64;
}

void DisableFsRedirection() {
  if (!IsWow64()) return;
  using EnableRedirection = BOOLEAN(WINAPI*)(BOOLEAN);
  if (const auto enable = Kernel32Function<EnableRedirection>("Wow64EnableWow64FsRedirection")) enable(FALSE);
}

}  // namespace korvanel
