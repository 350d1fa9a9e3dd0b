#pragma once
// The panel's menu bar: a dialog has no native one, so a flat toolbar across the top carries one
// button per menu, drops its popup down under the button, moves between popups with the arrow keys
// and the mouse, answers Alt+letter, and draws the popups' items itself with an icon column and a
// check mark. A second small toolbar at the right end carries a command button ("Donate").

#include <windows.h>
#include <oleacc.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/panel/menu_model.h"
#include "ui/win32/controls.h"
#include "ui/win32/gdi_handles.h"

namespace korvanel::win32 {

class CommandBar {
 public:
  // Creates both toolbars on `owner`; the owner receives every chosen command as WM_COMMAND and
  // WM_INITMENUPOPUP before a popup opens.
  explicit CommandBar(HWND owner);
  ~CommandBar();
  CommandBar(const CommandBar&) = delete;
  CommandBar& operator=(const CommandBar&) = delete;

  // Replaces the menus; `icons` gives each command's icon (it stays the caller's).
  void SetMenu(const panel::MenuBar& menu, const std::map<int, HICON>& icons);
  void SetChecked(int command, bool checked);
  // Replaces the strip's one button; its icon is `icon` (kept by the caller), or none.
  void SetStripButton(const std::string& text, int command, HICON icon);
  // Places the bar across the top of the owner's client area, `width` wide, at `dpi`.
  void Layout(int width, UINT dpi, HFONT font);
  int Height() const { return height_; }
  HWND toolbar() const { return menu_bar_.get(); }
  HMENU menu() const { return menu_.get(); }
  HWND strip() const { return strip_.get(); }

  // The owner's WM_MENUCHAR: Alt+letter of a menu or of the strip's button. True when answered.
  bool OnMenuChar(WPARAM wparam, LRESULT* result);

 private:
  struct ItemRecord;

  static LRESULT CALLBACK ToolbarProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                      DWORD_PTR data);
  static LRESULT CALLBACK FilterMenuMessage(int code, WPARAM wparam, LPARAM lparam);
  bool OnToolbarMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  bool FilterMessage(const MSG& message);
  void OpenMenu();
  void SwitchTo(int index);
  int ButtonAt(POINT client_point) const;
  POINT CursorInToolbar() const;
  void MeasureItem(MEASUREITEMSTRUCT& measure);
  void DrawItem(const DRAWITEMSTRUCT& draw);
  void BuildIcons(const std::map<int, HICON>& icons);

  HWND owner_;
  TextToolbar menu_bar_;
  TextToolbar strip_;
  UniqueMenu menu_;
  std::vector<std::unique_ptr<ItemRecord>> records_;
  UniqueImageList icons_;
  std::map<int, int> icon_of_command_;
  UniqueImageList strip_icons_;
  HFONT font_ = nullptr;
  UINT dpi_ = 96;
  int height_ = 22;

  // While a popup is open.
  int current_ = 0;
  HHOOK hook_ = nullptr;
  POINT last_mouse_{-1, -1};
  UINT selected_flags_ = 0;
  bool tracking_ = false;
};

}  // namespace korvanel::win32
