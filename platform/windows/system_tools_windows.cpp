// Windows' own tools for the "System" menu, from the system directory, started through the shell.

#include <windows.h>

#include <cerrno>

#include "platform/system_tools.h"
#include "platform/windows/shell_open.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

// Management consoles (.msc) open through the shell like the programs do.
const wchar_t* ProgramFor(SystemTool tool) {
  switch (tool) {
    case SystemTool::kTaskManager: return L"taskmgr.exe";
    case SystemTool::kSystemSettings: return L"control.exe";
    case SystemTool::kSystemInformation: return L"msinfo32.exe";
    case SystemTool::kDriveOptimizer: return L"dfrgui.exe";
    case SystemTool::kComputerManagement: return L"compmgmt.msc";
    case SystemTool::kDiskManagement: return L"diskmgmt.msc";
    case SystemTool::kPictureEditor: return L"mspaint.exe";
  }
  return nullptr;
}

// The tool's full path in the system directory (System32 of a 64-bit process), or empty.
std::wstring FindTool(SystemTool tool) {
  const wchar_t* program = ProgramFor(tool);
  if (program == nullptr) return {};
  const std::wstring directory = GrowingWideText([](wchar_t* buffer, DWORD capacity) {
    return GetSystemDirectoryW(buffer, capacity);
  });
  if (directory.empty()) return {};
  const std::wstring path = directory + L"\\" + program;
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? path : std::wstring();
}

}  // namespace

bool HasSystemTool(SystemTool tool) { return !FindTool(tool).empty(); }

SysError StartSystemTool(SystemTool tool, const std::string& file) {
  const std::wstring program = FindTool(tool);
  if (program.empty()) {
    SysError missing = SysError::FromErrno(ENOENT);
    missing.description = "no program for this tool is installed";
    return missing;
  }
  // The file goes as one quoted argument, so blanks in its name cannot split it.
  const std::wstring parameters = file.empty() ? std::wstring() : L"\"" + WidePath(file) + L"\"";
  return ShellOpen(program, parameters).error;
}

}  // namespace korvanel::platform
