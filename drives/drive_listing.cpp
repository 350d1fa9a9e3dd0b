#include "drives/drive_listing.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "drives/drive_refresh.h"
#include "drives/drive_summary.h"

namespace korvanel {
namespace {

bool IsListIndex(const std::string& text) {
  return !text.empty() && text.size() <= 2 &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

int FindByPath(const std::vector<DriveEntry>& entries, DriveSystem& system,
               const std::string& path) {
  const std::optional<MountedDrive> mount = system.FindMountOf(path);
  if (!mount) return -1;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].Root == mount->root) return static_cast<int>(i);
  }
  // A bind mount or a second mount of a listed file system: the list keeps one of them.
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!mount->device_number.empty() && entries[i].DeviceNumber == mount->device_number) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace

std::string FormatDriveListing(const DriveTable& table) {
  std::string text;
  const std::vector<DriveEntry> entries = table.Entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) text += "\n";
    text += std::to_string(i) + ": " + DriveItemText(entries[i]) + "\n";
    text += SummaryBoxText(entries[i]) + "\n";
  }
  return text;
}

int FindDrive(const DriveTable& table, DriveSystem& system, const std::string& index_or_path) {
  const std::vector<DriveEntry> entries = table.Entries();
  if (IsListIndex(index_or_path)) {
    const int index = std::stoi(index_or_path);
    return index < static_cast<int>(entries.size()) ? index : -1;
  }
  return FindByPath(entries, system, index_or_path);
}

}  // namespace korvanel
