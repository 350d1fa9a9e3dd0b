#include "ui/win32/command_bar.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/windows/wide_text.h"
#include "ui/win32/dpi.h"

namespace korvanel::win32 {
namespace {

using platform::WideFromUtf8;

constexpr int kMenuButtonBase = 40000;
// Posted to the menu toolbar: open the popup of the current index.
constexpr UINT kOpenMenuMessage = 2125;
constexpr UINT_PTR kSubclassId = 1;
constexpr int kBarHeight = 22;
constexpr int kIconCellWidth = 21;
constexpr int kIconCellHeight = 18;
constexpr int kIconSize = 16;

// The bar whose popup is open: the thread's message filter serves it.
CommandBar* g_tracked = nullptr;

// The check mark, 9 by 9 pixels, row by row from the top; bit 8 is the leftmost column.
constexpr unsigned kCheckGlyph[9] = {0x000, 0x001, 0x003, 0x107, 0x18E, 0x1DC, 0x0F8, 0x070, 0x020};

}  // namespace

// Item data of every owner-drawn item. It begins with the accessibility record, so screen readers
// read the item's text although the bar draws it.
struct CommandBar::ItemRecord {
  MSAAMENUINFO accessible{};
  std::wstring text;
  bool separator = false;
  int image = -1;
};

CommandBar::CommandBar(HWND owner) : owner_(owner) {
  menu_bar_.Create(owner, 0);
  strip_.Create(owner, 0);
  SetWindowSubclass(menu_bar_.get(), ToolbarProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

CommandBar::~CommandBar() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  if (g_tracked == this) g_tracked = nullptr;
  RemoveWindowSubclass(menu_bar_.get(), ToolbarProc, kSubclassId);
}

void CommandBar::BuildIcons(const std::map<int, HICON>& icons) {
  const int size = Scaled(kIconSize, dpi_);
  icons_.Reset(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(icons.size()), 1));
  icon_of_command_.clear();
  for (const auto& [command, icon] : icons) {
    if (icon == nullptr) continue;
    const int image = ImageList_ReplaceIcon(icons_.get(), -1, icon);
    if (image >= 0) icon_of_command_[command] = image;
  }
}

void CommandBar::SetMenu(const panel::MenuBar& menu, const std::map<int, HICON>& icons) {
  BuildIcons(icons);
  UniqueMenu bar(CreateMenu());
  std::vector<std::unique_ptr<ItemRecord>> records;
  for (const panel::MenuPopup& popup_model : menu) {
    HMENU popup = CreatePopupMenu();
    for (const panel::MenuItem& item : popup_model.items) {
      auto record = std::make_unique<ItemRecord>();
      record->text = WideFromUtf8(item.text);
      record->separator = item.separator();
      record->accessible.dwMSAASignature = MSAA_MENU_SIG;
      record->accessible.cchWText = static_cast<DWORD>(record->text.size());
      record->accessible.pszWText = record->text.data();
      if (const auto found = icon_of_command_.find(item.command); found != icon_of_command_.end()) {
        record->image = found->second;
      }
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_DATA;
      info.fType = MFT_OWNERDRAW | (item.separator() ? MFT_SEPARATOR : 0);
      info.wID = static_cast<UINT>(item.command);
      info.fState = (item.checked ? MFS_CHECKED : 0) | (item.enabled ? 0 : MFS_GRAYED);
      info.dwItemData = reinterpret_cast<ULONG_PTR>(record.get());
      InsertMenuItemW(popup, GetMenuItemCount(popup), TRUE, &info);
      records.push_back(std::move(record));
    }
    AppendMenuW(bar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                WideFromUtf8(popup_model.title).c_str());
  }
  // The old menu goes only after the new one is in place; its records with it.
  menu_ = std::move(bar);
  records_ = std::move(records);

  SendMessageW(menu_bar_.get(), WM_SETREDRAW, FALSE, 0);
  menu_bar_.Clear();
  for (size_t index = 0; index < menu.size(); ++index) {
    menu_bar_.AddButton(menu[index].title, kMenuButtonBase + static_cast<int>(index));
  }
  SendMessageW(menu_bar_.get(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(menu_bar_.get(), nullptr, TRUE);
}

void CommandBar::SetChecked(int command, bool checked) {
  if (menu_) CheckMenuItem(menu_.get(), static_cast<UINT>(command), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void CommandBar::SetStripButton(const std::string& text, int command, HICON icon) {
  const int size = Scaled(kIconSize, dpi_);
  strip_icons_.Reset(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 1));
  const int image = icon != nullptr ? ImageList_ReplaceIcon(strip_icons_.get(), -1, icon) : -1;
  SendMessageW(strip_.get(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(strip_icons_.get()));
  SendMessageW(strip_.get(), TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
  strip_.Clear();
  strip_.AddButton(text, command, image >= 0 ? image : I_IMAGENONE);
  if (font_ != nullptr) Layout(0, dpi_, font_);
}

void CommandBar::Layout(int width, UINT dpi, HFONT font) {
  dpi_ = dpi;
  font_ = font;
  height_ = Scaled(kBarHeight, dpi);
  RECT owner{};
  GetClientRect(owner_, &owner);
  if (width <= 0) width = owner.right - owner.left;
  menu_bar_.SetFont(font);
  strip_.SetFont(font);
  SendMessageW(strip_.get(), TB_SETBUTTONSIZE, 0, MAKELPARAM(0, height_));
  SendMessageW(menu_bar_.get(), TB_SETBUTTONSIZE, 0, MAKELPARAM(0, height_));
  const int strip_width = strip_.ButtonsWidth();
  SetWindowPos(menu_bar_.get(), nullptr, 0, 0, width, height_, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(strip_.get(), HWND_TOP, width - strip_width, 0, strip_width, height_, SWP_NOACTIVATE);
}

// --- opening the popups ---

int CommandBar::ButtonAt(POINT client_point) const {
  const int index = static_cast<int>(SendMessageW(menu_bar_.get(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client_point)));
  return index >= 0 && index < menu_bar_.ButtonCount() ? index : -1;
}

POINT CommandBar::CursorInToolbar() const {
  const DWORD position = GetMessagePos();
  POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  ScreenToClient(menu_bar_.get(), &point);
  return point;
}

void CommandBar::OpenMenu() {
  if (!menu_ || tracking_) return;
  HMENU popup = GetSubMenu(menu_.get(), current_);
  if (popup == nullptr) return;
  const int command = kMenuButtonBase + current_;
  menu_bar_.SetPressed(command, true);
  RECT button = menu_bar_.ButtonRect(current_);
  MapWindowPoints(menu_bar_.get(), nullptr, reinterpret_cast<POINT*>(&button), 2);
  TPMPARAMS exclude{};
  exclude.cbSize = sizeof exclude;
  exclude.rcExclude = button;
  // Right to left, the popup opens leftwards from the button's right edge.
  const bool mirrored = (GetWindowLongW(owner_, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
  g_tracked = this;
  tracking_ = true;
  last_mouse_ = CursorInToolbar();
  hook_ = SetWindowsHookExW(WH_MSGFILTER, FilterMenuMessage, nullptr, GetCurrentThreadId());
  TrackPopupMenuEx(popup, TPM_VERTICAL | (mirrored ? TPM_RIGHTALIGN | TPM_LAYOUTRTL : TPM_LEFTALIGN),
                   mirrored ? button.right : button.left, button.bottom, menu_bar_.get(), &exclude);
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  tracking_ = false;
  g_tracked = nullptr;
  selected_flags_ = 0;
  menu_bar_.SetPressed(command, false);
}

// Closes the open popup and opens the one at `index` (wrapping at both ends) once it has closed.
void CommandBar::SwitchTo(int index) {
  const int count = menu_bar_.ButtonCount();
  if (count == 0) return;
  menu_bar_.SetPressed(kMenuButtonBase + current_, false);
  current_ = (index % count + count) % count;
  PostMessageW(menu_bar_.get(), WM_CANCELMODE, 0, 0);
  PostMessageW(menu_bar_.get(), kOpenMenuMessage, 0, 0);
  PostMessageW(menu_bar_.get(), WM_KEYDOWN, VK_DOWN, 0);
}

bool CommandBar::OnMenuChar(WPARAM wparam, LRESULT* result) {
  const WPARAM letter = LOWORD(wparam);
  UINT command = 0;
  if (SendMessageW(menu_bar_.get(), TB_MAPACCELERATORW, letter, reinterpret_cast<LPARAM>(&command))) {
    current_ = static_cast<int>(command) - kMenuButtonBase;
    PostMessageW(menu_bar_.get(), kOpenMenuMessage, 0, 0);
    PostMessageW(menu_bar_.get(), WM_KEYDOWN, VK_DOWN, 0);
    *result = MAKELRESULT(0, MNC_CLOSE);
    return true;
  }
  if (SendMessageW(strip_.get(), TB_MAPACCELERATORW, letter, reinterpret_cast<LPARAM>(&command))) {
    PostMessageW(owner_, WM_COMMAND, command, 0);
    *result = MAKELRESULT(0, MNC_CLOSE);
    return true;
  }
  return false;
}

// --- the menu toolbar's messages ---

LRESULT CALLBACK CommandBar::ToolbarProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                         DWORD_PTR data) {
  auto* bar = reinterpret_cast<CommandBar*>(data);
  LRESULT result = 0;
  if (bar->OnToolbarMessage(message, wparam, lparam, &result)) return result;
  return DefSubclassProc(window, message, wparam, lparam);
}

bool CommandBar::OnToolbarMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_LBUTTONDOWN: {
      const int index = ButtonAt(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      if (index < 0) return false;
      current_ = index;
      OpenMenu();
      return true;
    }
    case kOpenMenuMessage:
      OpenMenu();
      return true;
    case WM_MEASUREITEM: {
      auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (measure.CtlType != ODT_MENU) return false;
      MeasureItem(measure);
      *result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (draw.CtlType != ODT_MENU) return false;
      DrawItem(draw);
      *result = TRUE;
      return true;
    }
    case WM_COMMAND:
      // A chosen item: the panel acts on it.
      SendMessageW(owner_, WM_COMMAND, wparam, lparam);
      return true;
    case WM_INITMENUPOPUP:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
      SendMessageW(owner_, message, wparam, lparam);
      return true;
    case WM_MENUSELECT:
      selected_flags_ = HIWORD(wparam) == 0xFFFF ? 0 : HIWORD(wparam);
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK CommandBar::FilterMenuMessage(int code, WPARAM wparam, LPARAM lparam) {
  if (code == MSGF_MENU && g_tracked != nullptr && g_tracked->FilterMessage(*reinterpret_cast<MSG*>(lparam))) {
    return 1;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

bool CommandBar::FilterMessage(const MSG& message) {
  const bool mirrored = (GetWindowLongW(owner_, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
  switch (message.message) {
    case WM_KEYDOWN:
      if (message.wParam == VK_LEFT || message.wParam == VK_RIGHT) {
        // Right opens a submenu where the selected item has one; otherwise both go to the neighbour.
        if (message.wParam == VK_RIGHT && (selected_flags_ & MF_POPUP) != 0) return false;
        const bool forward = (message.wParam == VK_RIGHT) != mirrored;
        SwitchTo(current_ + (forward ? 1 : -1));
        return true;
      }
      if (message.wParam == VK_ESCAPE) {
        PostMessageW(menu_bar_.get(), WM_CANCELMODE, 0, 0);
        return true;
      }
      return false;
    case WM_LBUTTONDOWN: {
      // A click on the open popup's own button closes it; elsewhere the system decides.
      if (ButtonAt(CursorInToolbar()) != current_) return false;
      PostMessageW(menu_bar_.get(), WM_CANCELMODE, 0, 0);
      return true;
    }
    case WM_MOUSEMOVE: {
      const POINT point = CursorInToolbar();
      if (point.x == last_mouse_.x && point.y == last_mouse_.y) return true;
      last_mouse_ = point;
      const int index = ButtonAt(point);
      if (index < 0 || index == current_) return false;
      SwitchTo(index);
      return true;
    }
    default:
      return false;
  }
}

// --- drawing the items ---

void CommandBar::MeasureItem(MEASUREITEMSTRUCT& measure) {
  const auto* record = reinterpret_cast<const ItemRecord*>(measure.itemData);
  if (record == nullptr) return;
  if (record->separator) {
    measure.itemWidth = 0;
    measure.itemHeight = static_cast<UINT>(MetricForDpi(SM_CYMENU, dpi_) / 2);
    return;
  }
  HDC screen = GetDC(nullptr);
  RECT text{};
  {
    const SelectedObject selected(screen, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    // The text and, after a TAB, the right-hand column with a gap between them.
    std::wstring measured = record->text;
    std::replace(measured.begin(), measured.end(), L'\t', L' ');
    DrawTextW(screen, measured.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
    if (measured.find(L' ') != std::wstring::npos && record->text.find(L'\t') != std::wstring::npos) {
      text.right += Scaled(24, dpi_);
    }
  }
  ReleaseDC(nullptr, screen);
  const int cell_width = Scaled(kIconCellWidth, dpi_);
  measure.itemHeight = static_cast<UINT>(std::max<LONG>(Scaled(kIconCellHeight, dpi_), text.bottom - text.top + Scaled(6, dpi_)));
  measure.itemWidth = static_cast<UINT>(text.right - text.left + 2 * cell_width + Scaled(6, dpi_) -
                                        MetricForDpi(SM_CXMENUCHECK, dpi_));
}

void CommandBar::DrawItem(const DRAWITEMSTRUCT& draw) {
  const auto* record = reinterpret_cast<const ItemRecord*>(draw.itemData);
  if (record == nullptr) return;
  HDC dc = draw.hDC;
  RECT item = draw.rcItem;
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  const bool grayed = (draw.itemState & ODS_GRAYED) != 0;
  const bool checked = (draw.itemState & ODS_CHECKED) != 0;
  // Colours come from the system, so high-contrast and dark schemes show as they should.
  FillRect(dc, &item, GetSysColorBrush(selected && !record->separator ? COLOR_MENUHILIGHT : COLOR_MENU));
  if (record->separator) {
    RECT line = item;
    line.top += (item.bottom - item.top) / 2;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  if (selected) FrameRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
  const COLORREF text_colour = GetSysColor(grayed ? COLOR_GRAYTEXT : (selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));

  const int cell_width = Scaled(kIconCellWidth, dpi_);
  const int cell_height = Scaled(kIconCellHeight, dpi_);
  const int cell_top = item.top + (item.bottom - item.top - cell_height) / 2;
  if (record->image >= 0 && !grayed && icons_) {
    const int size = Scaled(kIconSize, dpi_);
    ImageList_Draw(icons_.get(), record->image, dc, item.left + (cell_width - size) / 2, cell_top + (cell_height - size) / 2,
                   ILD_TRANSPARENT);
  } else if (record->image < 0 && checked) {
    // The glyph's pixels grow with the DPI.
    const int pixel = std::max(1, Scaled(1, dpi_));
    const int left = item.left + cell_width / 2 - 4 * pixel;
    const int top = cell_top + cell_height / 2 - 4 * pixel;
    UniqueBrush brush(CreateSolidBrush(text_colour));
    for (int row = 0; row < 9; ++row) {
      for (int column = 0; column < 9; ++column) {
        if ((kCheckGlyph[row] >> (8 - column) & 1u) == 0) continue;
        const RECT dot{left + column * pixel, top + row * pixel, left + (column + 1) * pixel, top + (row + 1) * pixel};
        FillRect(dc, &dot, brush.get());
      }
    }
  }

  RECT text = item;
  text.left += cell_width + Scaled(3, dpi_);
  text.right -= cell_width;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, text_colour);
  const SelectedObject font(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  const UINT prefix = (draw.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
  const size_t tab = record->text.find(L'\t');
  const std::wstring left_part = record->text.substr(0, tab);
  DrawTextW(dc, left_part.c_str(), -1, &text, DT_LEFT | DT_SINGLELINE | DT_VCENTER | prefix);
  if (tab != std::wstring::npos) {
    const std::wstring right_part = record->text.substr(tab + 1);
    DrawTextW(dc, right_part.c_str(), -1, &text, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | prefix);
  }
}

}  // namespace korvanel::win32
