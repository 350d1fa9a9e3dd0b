#include "drives/windows/registry_reader.h"

#include <windows.h>

#include "platform/windows/wide_text.h"

namespace korvanel {
namespace {

constexpr uint32_t kDriverValueBytes = 1024;

class SystemRegistryReader : public RegistryReader {
 public:
  std::optional<RegistryValue> ReadLocalMachine(const std::wstring& key, const std::wstring& name,
                                                uint32_t max_bytes) override {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
    RegistryValue value;
    value.bytes.assign(max_bytes, 0);
    DWORD type = 0;
    DWORD size = max_bytes;
    const LSTATUS read = RegQueryValueExW(opened, name.c_str(), nullptr, &type, value.bytes.data(), &size);
    RegCloseKey(opened);
    if (read != ERROR_SUCCESS) return std::nullopt;
    value.type = type;
    value.bytes.resize(size);
    return value;
  }
};

bool IsTerminatedText(const RegistryValue& value) {
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ && value.type != REG_MULTI_SZ) return false;
  const std::vector<uint8_t>& b = value.bytes;
  if (b.size() < 2 || b.size() % 2 != 0) return false;
  const bool ends_in_nul = b[b.size() - 1] == 0 && b[b.size() - 2] == 0;
  if (value.type != REG_MULTI_SZ || b.size() < 4) return ends_in_nul;
  return ends_in_nul && b[b.size() - 3] == 0 && b[b.size() - 4] == 0;
}

}  // namespace

RegistryReader& SystemRegistry() {
  static SystemRegistryReader registry;
  return registry;
}

std::string ScsiPortDriver(RegistryReader& registry, int port) {
  const std::wstring key = L"HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port " + std::to_wstring(port) + L"\\";
  const std::optional<RegistryValue> value = registry.ReadLocalMachine(key, L"Driver", kDriverValueBytes);
  if (!value || !IsTerminatedText(*value)) return {};
  // Up to the first NUL: the first string of a REG_MULTI_SZ, the whole text of the others.
  std::wstring text(reinterpret_cast<const wchar_t*>(value->bytes.data()), value->bytes.size() / 2);
  text.resize(text.find(L'\0'));
  return platform::Utf8FromWide(text);
}

}  // namespace korvanel
