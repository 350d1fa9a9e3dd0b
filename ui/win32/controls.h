#pragma once
// Thin owners of the panel's Windows controls: text in and out as UTF-8, the two lists, and the
// flat toolbars of text buttons (the footer, the menu bar's right-hand strip).

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/panel/menu_model.h"
#include "ui/panel/panel_view.h"

namespace korvanel::win32 {

void SetText(HWND window, const std::string& text);
std::string Text(HWND window);
// Lays `window` out from right to left (mirrored), or back from left to right.
void SetRightToLeftLayout(HWND window, bool right_to_left);

// A popup menu of plain items drawn by the system: checked, grayed and separators as `items` say;
// a TAB in a text starts the right-aligned column.
HMENU MakePopupMenu(const std::vector<panel::MenuItem>& items);

// A drop-down list of plain texts (the test sizes).
class ComboList {
 public:
  void Attach(HWND combo) { combo_ = combo; }
  HWND get() const { return combo_; }
  // Replaces the items and leaves nothing selected.
  void SetItems(const std::vector<std::string>& items);
  int Selection() const;  // -1: none
  void Select(int index);

 private:
  HWND combo_ = nullptr;
};

// The drive list: a ComboBoxEx with the system's drive and folder icons.
class DriveComboList {
 public:
  // Gives the list the system's small icons.
  void Attach(HWND combo_ex);
  HWND get() const { return combo_; }
  void SetItems(const std::vector<panel::DriveItem>& items);
  int Selection() const;
  void Select(int index);
  // The tooltip of the selected item (where its test goes, or why it cannot go there).
  std::string SelectedTooltip() const;
  // The window under the pointer when it rests on the list (the ComboBoxEx's own combo box).
  HWND PointerTarget() const;

 private:
  HWND combo_ = nullptr;
  std::vector<std::string> tooltips_;
};

// A flat toolbar whose buttons are texts, each sized to its text, with an optional icon.
class TextToolbar {
 public:
  // A toolbar of the panel's style at 0,0; it is placed by the caller.
  void Create(HWND parent, int id);
  HWND get() const { return toolbar_; }
  void Clear();
  // `image`: index into the toolbar's image list, or I_IMAGENONE.
  void AddButton(const std::string& text, int command, int image = I_IMAGENONE);
  void SetButtons(const std::vector<panel::MenuItem>& buttons);
  int ButtonCount() const;
  // The command of button `index`, and its rectangle in the toolbar's client area.
  int CommandAt(int index) const;
  RECT ButtonRect(int index) const;
  int IndexOf(int command) const;
  // The width of all buttons together.
  int ButtonsWidth() const;
  void SetFont(HFONT font);
  void SetPressed(int command, bool pressed);

 private:
  HWND toolbar_ = nullptr;
};

}  // namespace korvanel::win32
