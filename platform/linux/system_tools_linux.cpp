#include "platform/system_tools.h"

#include <cerrno>
#include <string_view>
#include <vector>

#include "platform/linux/detached_process.h"

namespace korvanel::platform {
namespace {

// The desktops' own programs for each tool, the most common first. The drive optimiser has no
// desktop equivalent here (file systems defragment themselves or need a terminal), so it is never
// offered.
std::vector<std::string_view> Candidates(SystemTool tool) {
  switch (tool) {
    case SystemTool::kTaskManager:
      return {"gnome-system-monitor", "plasma-systemmonitor", "ksysguard", "xfce4-taskmanager",
              "mate-system-monitor", "lxtask", "qps"};
    case SystemTool::kSystemSettings:
      return {"gnome-control-center", "systemsettings", "xfce4-settings-manager", "mate-control-center",
              "cinnamon-settings", "lxqt-config"};
    case SystemTool::kSystemInformation:
      return {"hardinfo2", "hardinfo", "kinfocenter", "cpu-x"};
    case SystemTool::kDriveOptimizer:
      return {};
    case SystemTool::kComputerManagement:
      return {"systemdgenie", "gnome-logs", "ksystemlog"};
    case SystemTool::kDiskManagement:
      return {"gnome-disks", "partitionmanager", "gparted", "kde-partitionmanager"};
    case SystemTool::kPictureEditor:
      return {"kolourpaint", "pinta", "gimp", "drawing", "krita", "mtpaint"};
  }
  return {};
}

struct FoundTool {
  std::string name;
  std::string path;
};

FoundTool FindTool(SystemTool tool) {
  for (std::string_view name : Candidates(tool)) {
    std::string path = FindProgramInPath(name);
    if (!path.empty()) return {std::string(name), std::move(path)};
  }
  return {};
}

}  // namespace

bool HasSystemTool(SystemTool tool) { return !FindTool(tool).path.empty(); }

SysError StartSystemTool(SystemTool tool, const std::string& file) {
  const FoundTool found = FindTool(tool);
  if (found.path.empty()) {
    SysError missing = SysError::FromErrno(ENOENT);
    missing.description = "no program for this tool is installed";
    return missing;
  }
  std::vector<std::string> arguments{found.name};
  if (!file.empty()) arguments.push_back(file);
  return StartDetachedProcess(found.path, arguments);
}

}  // namespace korvanel::platform
