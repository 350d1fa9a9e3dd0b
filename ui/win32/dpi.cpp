#include "ui/win32/dpi.h"

namespace korvanel::win32 {
namespace {

template <typename Function>
Function UserFunction(const char* name) {
  // user32 is loaded by every GUI program; the function may be missing on older systems.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

UINT WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto get_dpi_for_window = UserFunction<GetDpiForWindowFunction>("GetDpiForWindow");
  if (get_dpi_for_window != nullptr && window != nullptr) {
    if (const UINT dpi = get_dpi_for_window(window); dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

int MetricForDpi(int index, UINT dpi) {
  using MetricForDpiFunction = int(WINAPI*)(int, UINT);
  static const auto metric_for_dpi = UserFunction<MetricForDpiFunction>("GetSystemMetricsForDpi");
  if (metric_for_dpi != nullptr) return metric_for_dpi(index, dpi);
  // Without it the process is at most system-aware: the system's metric is for the system's DPI.
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(WindowDpi(nullptr)));
}

SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD ex_style, UINT dpi) {
  using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjust_for_dpi = UserFunction<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, client.cx, client.cy};
  if (adjust_for_dpi != nullptr) {
    adjust_for_dpi(&rect, style, FALSE, ex_style, dpi);
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void KeepDialogFromRescaling(HWND dialog) {
  // DDC_DISABLE_ALL = 1, DCDC_DISABLE_FONTUPDATE | DCDC_DISABLE_RELAYOUT = 3.
  using DialogBehaviourFunction = BOOL(WINAPI*)(HWND, int, int);
  using ControlBehaviourFunction = BOOL(WINAPI*)(HWND, int, int);
  static const auto dialog_behaviour = UserFunction<DialogBehaviourFunction>("SetDialogDpiChangeBehavior");
  static const auto control_behaviour = UserFunction<ControlBehaviourFunction>("SetDialogControlDpiChangeBehavior");
  if (dialog_behaviour != nullptr) dialog_behaviour(dialog, 1, 1);
  if (control_behaviour == nullptr) return;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    control_behaviour(child, 3, 3);
  }
}

}  // namespace korvanel::win32
