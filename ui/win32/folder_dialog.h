#pragma once
// The system's folder picker (the Explorer-style open dialog in folder mode).

#include <windows.h>

#include <optional>
#include <string>

#include "common/sys_error.h"

namespace korvanel::win32 {

struct FolderChoice {
  std::optional<std::string> folder;  // nothing: cancelled, or the dialog could not be shown
  SysError error;                     // why the dialog could not be shown
};

// Asks for a folder of the file system, starting in `start` when it exists. Needs COM on this
// thread (the panel's thread has it).
FolderChoice AskFolder(HWND owner, const std::string& start);

}  // namespace korvanel::win32
