// The real version of Windows: GetVersionExW answers with the version a program's manifest claims to
// know (8.0 for one that claims nothing), the kernel's RtlGetVersion with the truth.

#include <windows.h>

#include "platform/os_version.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);

bool KernelVersion(OSVERSIONINFOEXW* info) {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return false;
  const auto rtl_get_version =
      reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  if (rtl_get_version == nullptr) return false;
  info->dwOSVersionInfoSize = sizeof *info;
  return rtl_get_version(info) == 0 && info->dwMajorVersion != 0;
}

bool CompatibilityVersion(OSVERSIONINFOEXW* info) {
  info->dwOSVersionInfoSize = sizeof *info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(info)) != 0;
#pragma GCC diagnostic pop
}

}  // namespace

SystemVersion CurrentSystemVersion() {
  OSVERSIONINFOEXW info{};
  if (!KernelVersion(&info) && !CompatibilityVersion(&info)) return {};
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, Utf8FromWide(info.szCSDVersion)};
}

}  // namespace korvanel::platform
