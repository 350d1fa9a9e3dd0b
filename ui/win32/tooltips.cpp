#include "ui/win32/tooltips.h"

#include <commctrl.h>

#include "platform/windows/wide_text.h"
#include "ui/win32/controls.h"

namespace korvanel::win32 {
namespace {

TOOLINFOW ToolOf(HWND dialog, HWND control) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = dialog;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  // The tooltip watches the control's own mouse messages.
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  return tool;
}

}  // namespace

ControlTooltips::~ControlTooltips() {
  if (tooltip_ != nullptr) DestroyWindow(tooltip_);
}

void ControlTooltips::Create(HWND dialog) {
  dialog_ = dialog;
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  // Long enough for what a 4K value's tooltip says, without a wait the user notices.
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
}

void ControlTooltips::Set(HWND control, const std::string& text) {
  if (tooltip_ == nullptr || control == nullptr) return;
  TOOLINFOW tool = ToolOf(dialog_, control);
  SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (text.empty()) return;
  // A static control lets the pointer through to the dialog unless it asks to be told of clicks.
  wchar_t class_name[16] = {};
  GetClassNameW(control, class_name, 16);
  if (lstrcmpiW(class_name, L"Static") == 0) {
    SetWindowLongW(control, GWL_STYLE, GetWindowLongW(control, GWL_STYLE) | SS_NOTIFY);
  }
  std::wstring wide = platform::WideFromUtf8(text);
  tool.lpszText = wide.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string ControlTooltips::Text(HWND control) const {
  if (tooltip_ == nullptr) return {};
  TOOLINFOW tool = ToolOf(dialog_, control);
  if (!SendMessageW(tooltip_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return {};
  wchar_t text[1024] = {};
  tool.lpszText = text;
  SendMessageW(tooltip_, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
  return platform::Utf8FromWide(text);
}

void ControlTooltips::SetRightToLeft(bool right_to_left) {
  if (tooltip_ != nullptr) SetRightToLeftLayout(tooltip_, right_to_left);
}

void ControlTooltips::SetMaxWidth(int pixels) {
  if (tooltip_ != nullptr) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, pixels);
}

}  // namespace korvanel::win32
