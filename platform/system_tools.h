#pragma once
// The system's own tools that the panel's "System" menu starts, and the picture editor that takes
// a screenshot. Each system decides which program stands for a tool; a tool it has no program for
// is simply not offered.

#include <string>

#include "common/sys_error.h"

namespace korvanel::platform {

enum class SystemTool {
  kTaskManager,
  kSystemSettings,
  kSystemInformation,
  kDriveOptimizer,
  kComputerManagement,
  kDiskManagement,
  kPictureEditor,
};

// Whether a program for `tool` is installed.
bool HasSystemTool(SystemTool tool);

// Starts the program for `tool`, with `file` as its one argument when not empty, and returns
// without waiting for it. ENOENT when no program for the tool is installed.
SysError StartSystemTool(SystemTool tool, const std::string& file = "");

}  // namespace korvanel::platform
