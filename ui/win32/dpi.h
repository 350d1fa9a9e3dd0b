#pragma once
// The panel's sizes at the monitor's DPI. Everything on screen is laid out from sizes at 96 DPI
// (or in dialog units) scaled to the window's DPI, and again when the window moves to a monitor
// with another DPI (WM_DPICHANGED). The per-monitor functions are looked up at run time, since
// Windows 7 has none of them.

#include <windows.h>

namespace korvanel::win32 {

inline constexpr UINT kDefaultDpi = 96;

// The DPI `window` is drawn at: its monitor's under per-monitor awareness, else the system's.
UINT WindowDpi(HWND window);

// `pixels` at 96 DPI, at `dpi`.
inline int Scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), kDefaultDpi); }

// The system metric `index` at `dpi` (GetSystemMetricsForDpi where it exists).
int MetricForDpi(int index, UINT dpi);

// The outer size of a window whose client area is `client`, for its styles at `dpi`.
SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD ex_style, UINT dpi);

// The dialog manager must not rescale the panel on its own: the panel lays itself out again at the
// new DPI, with its own fonts (Windows 10 1703 and later would otherwise scale the template's
// controls and fonts too).
void KeepDialogFromRescaling(HWND dialog);

}  // namespace korvanel::win32
