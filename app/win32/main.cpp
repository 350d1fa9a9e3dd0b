// korvanel.exe: the benchmark panel on Windows. A hidden main window owns the message loop; the
// first message it handles opens the panel, a modal dialog, and the program ends with the code the
// panel leaves in the quit message (0, or 4660 when Escape had to stop a run first).

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "drives/drive_system.h"
#include "lang/languages.h"
#include "platform/clock.h"
#include "platform/os_version.h"
#include "platform/storage.h"
#include "platform/windows/com_apartment.h"
#include "settings/settings.h"
#include "ui/panel/desktop.h"
#include "ui/panel/panel.h"
#include "ui/win32/panel_window.h"
#include "ui/win32/resource_ids.h"

namespace {

using namespace korvanel;

// The hidden window's command: open the panel.
constexpr WPARAM kOpenPanelCommand = 104;
constexpr int kClassNameLength = 100;

struct Program {
  win32::PanelWindow* window = nullptr;
  bool panel_open = false;
};
Program g_program;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      PostMessageW(window, WM_COMMAND, kOpenPanelCommand, 0);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kOpenPanelCommand && !g_program.panel_open && g_program.window != nullptr) {
        g_program.panel_open = true;
        g_program.window->RunModal();
        g_program.panel_open = false;
      }
      return 0;
    case WM_CLOSE:
    case WM_TIMER:
      // Nobody can close the hidden window.
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

HWND CreateMainWindow(HINSTANCE instance) {
  wchar_t class_name[kClassNameLength] = L"Vellumore";
  LoadStringW(instance, IDS_WINDOW_CLASS, class_name, kClassNameLength);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = MainWindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
  window_class.hIconSm = window_class.hIcon;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = class_name;
  RegisterClassExW(&window_class);
  HWND window = CreateWindowExW(0, class_name, class_name, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 100,
                                100, nullptr, nullptr, instance, nullptr);
  // Never on screen and never in the taskbar: left of the virtual screen, hidden, a tool window.
  SetWindowLongW(window, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  SetWindowPos(window, HWND_TOPMOST, GetSystemMetrics(SM_XVIRTUALSCREEN) - 120, GetSystemMetrics(SM_YVIRTUALSCREEN),
               100, 100, SWP_NOACTIVATE);
  ShowWindow(window, SW_HIDE);
  UpdateWindow(window);
  return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_COOL_CLASSES |
                                                     ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The shell, the file dialogs and the accessibility service expect COM on the panel's thread.
  const platform::ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  LocateSettingsFile();
  LoadLanguageTable();
  ChooseDefaultLanguage();

  win32::PanelWindow window(instance);
  panel::SystemDesktop desktop;
  const auto drive_system = CreateDriveSystem();
  panel::Panel panel({window, window, desktop, *drive_system, platform::SystemStorage(), platform::SystemClock(),
                      platform::CurrentSystemVersion()});
  window.Attach(&panel);
  g_program.window = &window;
  CreateMainWindow(instance);

  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  g_program.window = nullptr;
  // The panel's destructor waits for a worker still winding down, so the test file is gone first.
  return static_cast<int>(message.wParam);
}
