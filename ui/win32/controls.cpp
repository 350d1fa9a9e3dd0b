#include "ui/win32/controls.h"

#include <shellapi.h>

#include "platform/windows/wide_text.h"

namespace korvanel::win32 {
namespace {

using platform::Utf8FromWide;
using platform::WideFromUtf8;

SHSTOCKICONID DriveStockIcon(DriveKind kind) {
  switch (kind) {
    case DriveKind::kRemovable: return SIID_DRIVEREMOVE;
    case DriveKind::kRemote: return SIID_DRIVENET;
    case DriveKind::kRamDisk: return SIID_DRIVERAM;
    case DriveKind::kFixed: break;
  }
  return SIID_DRIVEFIXED;
}

// The shell's own icon for an item of the drive list, in its image list of small icons; -1 for
// none. A place the user cannot write to shows a lock: the list cannot grey single items.
int DriveIconIndex(const panel::DriveItem& item) {
  const SHSTOCKICONID id = !item.enabled ? SIID_LOCK : item.folder ? SIID_FOLDER : DriveStockIcon(item.kind);
  SHSTOCKICONINFO info{};
  info.cbSize = sizeof info;
  if (FAILED(SHGetStockIconInfo(id, SHGSI_SYSICONINDEX | SHGSI_SMALLICON, &info))) return -1;
  return info.iSysImageIndex;
}

}  // namespace

void SetText(HWND window, const std::string& text) { SetWindowTextW(window, WideFromUtf8(text).c_str()); }

std::string Text(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Utf8FromWide(text);
}

void SetRightToLeftLayout(HWND window, bool right_to_left) {
  const LONG ex_style = GetWindowLongW(window, GWL_EXSTYLE);
  SetWindowLongW(window, GWL_EXSTYLE, right_to_left ? ex_style | WS_EX_LAYOUTRTL : ex_style & ~WS_EX_LAYOUTRTL);
}

HMENU MakePopupMenu(const std::vector<panel::MenuItem>& items) {
  HMENU menu = CreatePopupMenu();
  for (const panel::MenuItem& item : items) {
    if (item.separator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const UINT flags = MF_STRING | (item.checked ? MF_CHECKED : 0) | (item.enabled ? 0 : MF_GRAYED);
    AppendMenuW(menu, flags, static_cast<UINT_PTR>(item.command), WideFromUtf8(item.text).c_str());
  }
  return menu;
}

// --- ComboList ---

void ComboList::SetItems(const std::vector<std::string>& items) {
  SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) {
    SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(item).c_str()));
  }
  SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int ComboList::Selection() const { return static_cast<int>(SendMessageW(combo_, CB_GETCURSEL, 0, 0)); }

void ComboList::Select(int index) { SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

// --- DriveComboList ---

void DriveComboList::Attach(HWND combo_ex) {
  combo_ = combo_ex;
  SHFILEINFOW info{};
  // The system's image list belongs to the system: the list must not destroy it.
  const auto icons = SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  if (icons != 0) SendMessageW(combo_, CBEM_SETIMAGELIST, 0, static_cast<LPARAM>(icons));
}

void DriveComboList::SetItems(const std::vector<panel::DriveItem>& items) {
  SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
  tooltips_.clear();
  int index = 0;
  for (const panel::DriveItem& item : items) {
    std::wstring text = WideFromUtf8(item.text);
    COMBOBOXEXITEMW entry{};
    entry.mask = CBEIF_TEXT;
    entry.iItem = index++;
    entry.pszText = text.data();
    if (const int icon = DriveIconIndex(item); icon >= 0) {
      entry.mask |= CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
      entry.iImage = entry.iSelectedImage = icon;
    }
    SendMessageW(combo_, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    tooltips_.push_back(item.tooltip);
  }
  SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int DriveComboList::Selection() const { return static_cast<int>(SendMessageW(combo_, CB_GETCURSEL, 0, 0)); }

void DriveComboList::Select(int index) { SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::string DriveComboList::SelectedTooltip() const {
  const int index = Selection();
  return index >= 0 && index < static_cast<int>(tooltips_.size()) ? tooltips_[index] : std::string();
}

HWND DriveComboList::PointerTarget() const {
  return reinterpret_cast<HWND>(SendMessageW(combo_, CBEM_GETCOMBOCONTROL, 0, 0));
}

// --- TextToolbar ---

void TextToolbar::Create(HWND parent, int id) {
  // Flat, transparent, text beside the image, tooltips; placed and sized by the panel.
  constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_TRANSPARENT |
                           TBSTYLE_LIST | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN |
                           CCS_NORESIZE;
  toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, kStyle, 0, 0, 180, 22, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
}

void TextToolbar::Clear() {
  for (int index = ButtonCount() - 1; index >= 0; --index) SendMessageW(toolbar_, TB_DELETEBUTTON, index, 0);
}

void TextToolbar::AddButton(const std::string& text, int command, int image) {
  std::wstring wide = WideFromUtf8(text);
  TBBUTTON button{};
  button.iBitmap = image;
  button.idCommand = command;
  button.fsState = TBSTATE_ENABLED;
  button.fsStyle = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
  button.iString = reinterpret_cast<INT_PTR>(wide.c_str());
  SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void TextToolbar::SetButtons(const std::vector<panel::MenuItem>& buttons) {
  Clear();
  for (const panel::MenuItem& item : buttons) AddButton(item.text, item.command);
}

int TextToolbar::ButtonCount() const { return static_cast<int>(SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0)); }

int TextToolbar::CommandAt(int index) const {
  TBBUTTON button{};
  if (!SendMessageW(toolbar_, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) return 0;
  return button.idCommand;
}

RECT TextToolbar::ButtonRect(int index) const {
  RECT rect{};
  SendMessageW(toolbar_, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
  return rect;
}

int TextToolbar::IndexOf(int command) const {
  return static_cast<int>(SendMessageW(toolbar_, TB_COMMANDTOINDEX, command, 0));
}

int TextToolbar::ButtonsWidth() const {
  const int count = ButtonCount();
  return count == 0 ? 0 : ButtonRect(count - 1).right;
}

void TextToolbar::SetFont(HFONT font) {
  SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  // The buttons size themselves to the text in the new font.
  const int count = ButtonCount();
  for (int index = 0; index < count; ++index) {
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
    info.cx = 0;
    SendMessageW(toolbar_, TB_SETBUTTONINFOW, index, reinterpret_cast<LPARAM>(&info));
  }
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void TextToolbar::SetPressed(int command, bool pressed) {
  SendMessageW(toolbar_, TB_PRESSBUTTON, command, MAKELPARAM(pressed ? TRUE : FALSE, 0));
}

}  // namespace korvanel::win32
