#include "engine/leftovers.h"

#include "engine/test_names.h"

namespace korvanel {

std::vector<Leftover> FindLeftovers(platform::Storage& storage, const std::string& drive_dir) {
  using Kind = platform::DirectoryEntry::Kind;
  std::vector<Leftover> found;
  std::vector<platform::DirectoryEntry> entries;
  if (storage.ListDirectory(drive_dir, &entries)) return found;
  for (const platform::DirectoryEntry& entry : entries) {
    if (entry.kind != Kind::kDirectory || !IsTestDirectoryName(entry.name)) continue;
    std::vector<platform::DirectoryEntry> inside;
    const std::string path = PathInDrive(drive_dir, entry.name);
    if (storage.ListDirectory(path, &inside) || inside.size() != 1) continue;
    if (inside[0].kind != Kind::kRegularFile || !IsTestFileName(inside[0].name)) continue;
    found.push_back({path, inside[0].size_bytes});
  }
  return found;
}

std::string LeftoverLines(const std::vector<Leftover>& leftovers) {
  std::string lines;
  for (const Leftover& leftover : leftovers) {
    const uint64_t mib = (leftover.bytes + (1u << 19)) >> 20;
    lines += "\r\nLeft by an earlier run? " + leftover.path + " holds " + std::to_string(mib) +
             " MiB (not removed: delete it if it is yours)";
  }
  return lines;
}

}  // namespace korvanel
