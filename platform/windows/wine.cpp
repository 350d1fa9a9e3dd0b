#include "platform/windows/wine.h"

#include <windows.h>

namespace korvanel::platform {

std::string WineVersion() {
  // Only Wine's ntdll exports this function.
  using WineGetVersion = const char*(__cdecl*)();
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return {};
  const auto get_version =
      reinterpret_cast<WineGetVersion>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
  const char* version = get_version != nullptr ? get_version() : nullptr;
  return version != nullptr ? version : "";
}

}  // namespace korvanel::platform
