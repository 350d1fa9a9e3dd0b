#include "ui/win32/menu_icons.h"

#include <shellapi.h>

#include <string>
#include <utility>

#include "platform/windows/wide_text.h"
#include "ui/panel/panel_ids.h"
#include "ui/win32/dpi.h"

namespace korvanel::win32 {
namespace {

using namespace korvanel::panel;

// The shell library's icon resource of each command.
constexpr std::pair<int, int> kShellIcons[] = {
    {kCommandComputerManagement, 274}, {kCommandDiskManagement, 274}, {kCommandSettingsFile, 151},
    {kCommandSystemSettings, 16},      {kCommandSystemInformation, 24}, {kCommandOptimizeDrive, 167},
    {kCommandScreenshotToPaint, 270},  {kCommandFaq, 14},               {kCommandHomepage, 14},
    {kCommandCompare, 14},             {kCommandScreenshotToFile, 248}, {kCommandExit, 28},
    {kCommandInfo, 1001},
};

UniqueIcon ShellIcon(int resource, int size) {
  HMODULE shell = GetModuleHandleW(L"shell32.dll");
  if (shell == nullptr) return {};
  return UniqueIcon(static_cast<HICON>(LoadImageW(shell, MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, 0)));
}

// The Task Manager's own icon, when its program file has a small one.
UniqueIcon TaskManagerIcon(int size) {
  const std::wstring directory = platform::GrowingWideText([](wchar_t* buffer, DWORD capacity) {
    return GetSystemDirectoryW(buffer, capacity);
  });
  if (directory.empty()) return {};
  const std::wstring program = directory + L"\\taskmgr.exe";
  HICON icon = nullptr;
  if (PrivateExtractIconsW(program.c_str(), 0, size, size, &icon, nullptr, 1, 0) != 1) return {};
  return UniqueIcon(icon);
}

}  // namespace

void MenuIcons::Load(UINT dpi) {
  const int size = Scaled(16, dpi);
  icons_.clear();
  for (const auto& [command, resource] : kShellIcons) {
    if (UniqueIcon icon = ShellIcon(resource, size)) icons_[command] = std::move(icon);
  }
  if (UniqueIcon icon = TaskManagerIcon(size)) icons_[kCommandTaskManager] = std::move(icon);
}

std::map<int, HICON> MenuIcons::Handles() const {
  std::map<int, HICON> handles;
  for (const auto& [command, icon] : icons_) handles[command] = icon.get();
  return handles;
}

UniqueIcon LoadProgramIcon(HINSTANCE instance, int resource, int size) {
  return UniqueIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, 0)));
}

}  // namespace korvanel::win32
