#pragma once
// Recorded answers in the place of WMI and the registry, for machines this one is not.

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "drives/windows/registry_reader.h"
#include "drives/windows/wmi_query_source.h"

namespace korvanel::testing {

class RecordedWmi : public WmiQuerySource {
 public:
  std::map<std::string, std::vector<WmiObject>> answers;
  std::map<std::string, std::string> problems;  // queries WMI does not answer, and why
  std::vector<std::string> asked;

  WmiAnswer Query(const std::string& wql) override {
    asked.push_back(wql);
    if (const auto problem = problems.find(wql); problem != problems.end()) return {{}, problem->second};
    const auto it = answers.find(wql);
    if (it == answers.end()) return {{}, "no recorded answer for " + wql};
    return {it->second, {}};
  }
};

class FakeRegistry : public RegistryReader {
 public:
  std::map<std::wstring, RegistryValue> values;  // by key; the value name is always "Driver" here

  std::optional<RegistryValue> ReadLocalMachine(const std::wstring& key, const std::wstring& name,
                                                uint32_t max_bytes) override {
    EXPECT_EQ(name, L"Driver");
    const auto it = values.find(key);
    if (it == values.end() || it->second.bytes.size() > max_bytes) return std::nullopt;
    return it->second;
  }
};

inline RegistryValue RegistryText(uint32_t type, const std::wstring& text_with_nuls) {
  RegistryValue value{type, {}};
  const auto* bytes = reinterpret_cast<const uint8_t*>(text_with_nuls.data());
  value.bytes.assign(bytes, bytes + text_with_nuls.size() * sizeof(wchar_t));
  return value;
}

inline std::wstring PortKey(int port) {
  return L"HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port " + std::to_wstring(port) + L"\\";
}

}  // namespace korvanel::testing
