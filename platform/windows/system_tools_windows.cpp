// Windows' own tools for the "System" menu, each from the system directory (never found through
// the current directory or PATH), started through the shell.

#include <windows.h>

#include <cerrno>

#include "platform/system_tools.h"
#include "platform/windows/shell_open.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

std::wstring SystemDirectory() {
  return GrowingWideText([](wchar_t* buffer, DWORD capacity) { return GetSystemDirectoryW(buffer, capacity); });
}

bool IsRegularFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// What the shell is asked to start for `tool`, with the file in the system directory.
ShellLaunch LaunchFor(SystemTool tool, const std::wstring& system) {
  ShellLaunch launch;
  switch (tool) {
    case SystemTool::kTaskManager:
      launch.file = system + L"\\taskmgr.exe";
      break;
    case SystemTool::kSystemSettings:
      // The system properties, opened at their fourth tab.
      launch.file = system + L"\\rundll32.exe";
      launch.parameters = L"shell32.dll,Control_RunDLL sysdm.cpl,,3";
      break;
    case SystemTool::kSystemInformation:
      launch.file = system + L"\\msinfo32.exe";
      break;
    case SystemTool::kDriveOptimizer:
      // The drive optimiser of Windows 7 and later, else the older snap-in; started with the file
      // type's own verb in the user's profile folder.
      launch.file = IsRegularFile(system + L"\\dfrgui.exe") ? system + L"\\dfrgui.exe" : system + L"\\dfrg.msc";
      launch.verb = nullptr;
      launch.directory = L"%UserProfile%";
      launch.expand_environment = true;
      launch.owner = GetActiveWindow();
      break;
    case SystemTool::kComputerManagement:
      launch.file = system + L"\\compmgmt.msc";
      break;
    case SystemTool::kDiskManagement:
      launch.file = system + L"\\diskmgmt.msc";
      break;
    case SystemTool::kPictureEditor:
      launch.file = system + L"\\mspaint.exe";
      break;
  }
  return launch;
}

}  // namespace

// The menu's tools are part of every Windows; only Paint is missing from some (Windows 11 has it
// as an app, and the picture then opens in the image viewer instead).
bool HasSystemTool(SystemTool tool) {
  if (tool != SystemTool::kPictureEditor) return true;
  const std::wstring system = SystemDirectory();
  return !system.empty() && IsRegularFile(LaunchFor(tool, system).file);
}

SysError StartSystemTool(SystemTool tool, const std::string& file) {
  const std::wstring system = SystemDirectory();
  if (system.empty()) return LastWin32Error();
  ShellLaunch launch = LaunchFor(tool, system);
  // The file goes as one quoted argument, so blanks in its name cannot split it.
  if (!file.empty()) launch.parameters = L"\"" + WidePath(file) + L"\"";
  return ShellStart(launch).error;
}

}  // namespace korvanel::platform
