#include "drives/volume_queries.h"

namespace korvanel {

std::string GetVolumeText(DriveSystem& system, const std::string& root, bool show_label,
                          std::string* label, std::string* file_system) {
  std::optional<VolumeInfo> volume = system.QueryVolume(root);
  if (!volume) return {};
  *label = volume->label;
  *file_system = volume->file_system;
  std::string text = volume->file_system;
  if (show_label) text += " - [" + volume->label + "]";
  return text;
}

int64_t GetDiskSpace(DriveSystem& system, const std::string& path, uint64_t* total) {
  return system.QueryDiskSpace(path, total);
}

}  // namespace korvanel
