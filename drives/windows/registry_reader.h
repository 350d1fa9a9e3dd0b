#pragma once
// The registry values the disk identity reads, behind an interface so that tests can offer values
// of every shape.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvanel {

struct RegistryValue {
  uint32_t type = 0;            // REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD ...
  std::vector<uint8_t> bytes;  // as stored, terminators included
};

class RegistryReader {
 public:
  virtual ~RegistryReader() = default;
  // Value `name` of key `key` under HKEY_LOCAL_MACHINE, opened for reading; at most `max_bytes`
  // (a longer value counts as missing). nullopt when the key or value is missing or unreadable.
  virtual std::optional<RegistryValue> ReadLocalMachine(const std::wstring& key, const std::wstring& name,
                                                        uint32_t max_bytes) = 0;
};

// The system's registry.
RegistryReader& SystemRegistry();

// The storage port driver that the device map records for `port`
// (HKLM\HARDWARE\DEVICEMAP\Scsi\Scsi Port <port>\ "Driver"): a string value of at most 1024 bytes,
// of even length and ending in a NUL (REG_MULTI_SZ: in two), read as its first string. Empty when
// missing, of another type, not terminated or empty.
std::string ScsiPortDriver(RegistryReader& registry, int port);

}  // namespace korvanel
