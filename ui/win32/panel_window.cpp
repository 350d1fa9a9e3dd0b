#include "ui/win32/panel_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <array>

#include "platform/windows/wide_text.h"
#include "results/finish_time.h"
#include "results/value_texts.h"
#include "ui/panel/panel.h"
#include "ui/panel/panel_ids.h"
#include "ui/panel/panel_state.h"
#include "ui/panel/panel_texts.h"
#include "ui/panel/test_places.h"
#include "ui/win32/dpi.h"
#include "ui/win32/folder_dialog.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/window_picture.h"

namespace korvanel::win32 {
namespace {

using platform::Utf8FromWide;
using platform::WideFromUtf8;
using namespace korvanel::panel;

// The resource compiler's ids are the panel's.
static_assert(IDC_START == kCommandStart && IDC_SEQUENTIAL == kCommandSequential &&
              IDC_RANDOM_4K == kCommandRandom4K && IDC_RANDOM_512K == kCommandRandom512K &&
              IDC_QUEUED_4K == kCommandQueued4K && IDC_ACCESS_TIME == kCommandAccessTime &&
              IDC_DRIVE_LIST == kCommandDriveList && IDC_SIZE_LIST == kCommandSizeList &&
              IDC_FOOTER_PLACEHOLDER == kCommandNotice && IDC_SUMMARY == kControlSummary &&
              IDC_READ_FRAME == kControlReadFrame && IDC_WRITE_FRAME == kControlWriteFrame &&
              IDC_RATING_FRAME == kControlRatingFrame && IDC_FINISH_TIME == kFinishTimeControl &&
              IDC_PROGRAM_NAME == kControlProgramName && IDC_STATUS == kControlStatus);
static_assert(IDC_SEQ_READ == kSeqReadControl && IDC_RND4_READ == kRnd4ReadControl &&
              IDC_RND512_READ == kRnd512ReadControl && IDC_QD_READ == kQdReadControl &&
              IDC_ACCESS_READ == kAccessReadControl && IDC_SEQ_WRITE == kSeqWriteControl &&
              IDC_RND4_WRITE == kRnd4WriteControl && IDC_RND512_WRITE == kRnd512WriteControl &&
              IDC_QD_WRITE == kQdWriteControl && IDC_ACCESS_WRITE == kAccessWriteControl &&
              IDC_READ_RATING == kReadRatingControl && IDC_TOTAL_RATING == kTotalRatingControl &&
              IDC_WRITE_RATING == kWriteRatingControl);

// Posted to the dialog: tasks of the worker threads are waiting.
constexpr UINT kRunTasksMessage = WM_APP + 1;
constexpr int kDialogWidthUnits = 323;
constexpr int kDialogHeightUnits = 274;
constexpr int kFooterHeight = 24;
constexpr int kTooltipWidth = 420;
constexpr ULONGLONG kSessionEndWaitMs = 4000;

constexpr std::array kValueControls = {
    IDC_SEQ_READ,  IDC_RND4_READ,  IDC_RND512_READ,  IDC_QD_READ,  IDC_ACCESS_READ,    IDC_SEQ_WRITE,
    IDC_RND4_WRITE, IDC_RND512_WRITE, IDC_QD_WRITE, IDC_ACCESS_WRITE, IDC_READ_RATING, IDC_TOTAL_RATING,
    IDC_WRITE_RATING};

// The panel whose dialog runs on this thread: its key filter serves it.
PanelWindow* g_panel_window = nullptr;

bool IsValueControl(int id) {
  return std::find(kValueControls.begin(), kValueControls.end(), id) != kValueControls.end();
}

// Windows wants CR LF between the lines of a text it shows or copies.
std::wstring WindowsLines(const std::string& text) {
  std::wstring wide;
  for (const wchar_t c : WideFromUtf8(text)) {
    if (c == L'\n' && (wide.empty() || wide.back() != L'\r')) wide += L'\r';
    wide += c;
  }
  return wide;
}

void SetFont(HWND window, HFONT font) { SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

std::optional<std::string> AskFileName(HWND owner, const std::string& proposed, bool save) {
  // Long paths too: the dialog fills up to this many characters.
  std::wstring buffer(32768, L'\0');
  const std::wstring initial = WideFromUtf8(proposed);
  std::copy(initial.begin(), initial.begin() + std::min(initial.size(), buffer.size() - 1), buffer.begin());
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (save) {
    dialog.lpstrFilter = L"PNG (*.png)\0*.png\0";
    dialog.nFilterIndex = 1;
    dialog.Flags |= OFN_OVERWRITEPROMPT;
  } else {
    dialog.lpstrTitle = L"Load from File (Unicode)";
    dialog.Flags |= OFN_FILEMUSTEXIST;
  }
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return Utf8FromWide(buffer.c_str());
}

}  // namespace

PanelWindow::PanelWindow(HINSTANCE instance) : instance_(instance) {}

PanelWindow::~PanelWindow() {
  if (key_hook_ != nullptr) UnhookWindowsHookEx(key_hook_);
  if (g_panel_window == this) g_panel_window = nullptr;
}

void PanelWindow::RunModal() {
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_PANEL), nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
  // Nothing reaches a closed dialog; tasks still queued go with the panel.
  const std::lock_guard lock(tasks_mutex_);
  dialog_ = nullptr;
  tasks_.clear();
}

// --- messages ---

INT_PTR CALLBACK PanelWindow::DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* window = reinterpret_cast<PanelWindow*>(lparam);
    SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    window->OnInitDialog(dialog);
    return TRUE;
  }
  auto* window = reinterpret_cast<PanelWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return window != nullptr ? window->OnMessage(message, wparam, lparam) : FALSE;
}

INT_PTR PanelWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wparam);
      return TRUE;
    case WM_TIMER:
      OnTimer(wparam);
      return TRUE;
    case kRunTasksMessage:
      RunTasks();
      return TRUE;
    case WM_CLOSE:
      // The close box is Escape: the panel decides when the program ends.
      if (panel_ != nullptr) panel_->OnCommand(kCommandCancel);
      return TRUE;
    case WM_INITMENUPOPUP:
      if (panel_ != nullptr) panel_->OnMenuAboutToShow();
      return TRUE;
    case WM_MENUCHAR: {
      LRESULT result = 0;
      if (!bar_ || !bar_->OnMenuChar(wparam, &result)) return FALSE;
      SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
      return OnColorStatic(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return TRUE;
    case WM_DESTROY:
      // The annotations go before their windows do.
      descriptions_.reset();
      return FALSE;
    case WM_ENDSESSION:
      if (wparam) OnSessionEnd();
      return TRUE;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      // A new colour scheme (high contrast, say) takes the value fields' background with it.
      value_background_.Reset();
      InvalidateRect(dialog_, nullptr, TRUE);
      return FALSE;
    default:
      return FALSE;
  }
}

void PanelWindow::OnInitDialog(HWND dialog) {
  dialog_ = dialog;
  g_panel_window = this;
  opening_dpi_ = dpi_ = WindowDpi(dialog);
  KeepDialogFromRescaling(dialog);
  RecordLayout();

  sizes_.Attach(Item(IDC_SIZE_LIST));
  drives_.Attach(Item(IDC_DRIVE_LIST));
  tooltips_.Create(dialog);
  bar_ = std::make_unique<CommandBar>(dialog);
  // The footer's buttons take the place of the notice placeholder.
  ShowWindow(Item(IDC_FOOTER_PLACEHOLDER), SW_HIDE);
  footer_.Create(dialog, 0);
  donate_icon_ = LoadProgramIcon(instance_, IDI_DONATE, Scaled(16, dpi_));
  key_hook_ = SetWindowsHookExW(WH_MSGFILTER, FilterDialogMessage, nullptr, GetCurrentThreadId());
  descriptions_ = std::make_unique<AccessibleDescriptions>(dialog, panel::AccessibleDescriptions());

  fonts_ = MakePanelFonts(dpi_);
  menu_icons_.Load(dpi_);
  Layout();
  if (panel_ != nullptr) panel_->Open();
  // Tasks handed in before the dialog existed.
  const std::lock_guard lock(tasks_mutex_);
  if (!tasks_.empty()) PostMessageW(dialog_, kRunTasksMessage, 0, 0);
}

void PanelWindow::OnCommand(WPARAM wparam) {
  if (panel_ == nullptr) return;
  const int id = LOWORD(wparam);
  const int code = HIWORD(wparam);
  if (id == IDC_DRIVE_LIST || id == IDC_SIZE_LIST) {
    // Only a new selection is the user's choice; opening or closing the list is none.
    if (code == CBN_SELCHANGE) panel_->OnCommand(id);
    if (id == IDC_DRIVE_LIST) ShowSelectedDriveTooltip();
    return;
  }
  // The values tell of clicks only so that their tooltips see the pointer: clicks are no command.
  if (IsValueControl(id)) return;
  // Buttons, menu items, the toolbars' buttons and Enter or Escape; controls' other notices are none.
  if (code == BN_CLICKED || code == 1) panel_->OnCommand(id);
}

void PanelWindow::OnTimer(UINT_PTR id) {
  // Every timer of the panel fires once.
  KillTimer(dialog_, id);
  if (panel_ != nullptr) panel_->OnTimer(static_cast<int>(id));
}

INT_PTR PanelWindow::OnColorStatic(HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  if (!IsValueControl(id) && id != IDC_SUMMARY) return FALSE;
  // The values stand on the window colour, like text fields, in every colour scheme.
  if (!value_background_) value_background_.Reset(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<INT_PTR>(value_background_.get());
}

void PanelWindow::OnSessionEnd() {
  if (panel_ == nullptr || panel_->ExitCode()) return;
  // Windows ends the process once this message returns: a running benchmark is stopped like with
  // Escape, and its test file removed, within the few seconds Windows gives.
  panel_->OnCommand(kCommandCancel);
  const ULONGLONG deadline = GetTickCount64() + kSessionEndWaitMs;
  while (!panel_->ExitCode() && GetTickCount64() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // The program's own loop ends on it.
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

LRESULT CALLBACK PanelWindow::FilterDialogMessage(int code, WPARAM wparam, LPARAM lparam) {
  if (code == MSGF_DIALOGBOX && g_panel_window != nullptr &&
      g_panel_window->OnKeyInDialog(*reinterpret_cast<MSG*>(lparam))) {
    return 1;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

bool PanelWindow::OnKeyInDialog(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != 'C' || (GetKeyState(VK_CONTROL) & 0x8000) == 0) return false;
  if (message.hwnd != dialog_ && GetParent(message.hwnd) != dialog_) return false;
  // Text selected in the summary box is copied as such; anywhere else Ctrl+C copies the results.
  if (message.hwnd == Item(IDC_SUMMARY)) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(message.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start != end) return false;
  }
  if (panel_ != nullptr) panel_->OnCommand(kCommandCopyResults);
  return true;
}

// --- layout at the monitor's DPI ---

void PanelWindow::RecordLayout() {
  placed_.clear();
  for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
    // A combo box's height is its list's when dropped down.
    if (const int id = GetDlgCtrlID(child); id == IDC_DRIVE_LIST || id == IDC_SIZE_LIST) {
      RECT dropped{};
      SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
      if (dropped.bottom > dropped.top) rect.bottom = rect.top + (dropped.bottom - dropped.top);
    }
    placed_.push_back({child, rect});
    if (GetDlgCtrlID(child) == IDC_FOOTER_PLACEHOLDER) footer_place_ = rect;
  }
  RECT units{0, 0, kDialogWidthUnits, kDialogHeightUnits};
  MapDialogRect(dialog_, &units);
  opening_client_ = {units.right, units.bottom};
}

void PanelWindow::Layout() {
  // The template's places, scaled from the opening DPI's dialog units to this DPI's.
  const SIZE from = DialogBaseUnits(opening_dpi_);
  const SIZE to = DialogBaseUnits(dpi_);
  const auto x = [&](LONG value) { return MulDiv(value, to.cx, from.cx); };
  const auto y = [&](LONG value) { return MulDiv(value, to.cy, from.cy); };
  HDWP positions = BeginDeferWindowPos(static_cast<int>(placed_.size()));
  for (const PlacedControl& control : placed_) {
    const RECT& r = control.rect;
    positions = DeferWindowPos(positions, control.window, nullptr, x(r.left), y(r.top), x(r.right) - x(r.left),
                               y(r.bottom) - y(r.top), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  EndDeferWindowPos(positions);

  const SIZE client{x(opening_client_.cx), y(opening_client_.cy)};
  const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog_, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongW(dialog_, GWL_EXSTYLE));
  const SIZE outer = WindowSizeForClient(client, style, ex_style, dpi_);
  SetWindowPos(dialog_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  ApplyFonts();
  // The footer starts where its placeholder does and takes the rest of the row, so that "# LNG"
  // stays in view beside a long notice.
  SetWindowPos(footer_.get(), nullptr, x(footer_place_.left), y(footer_place_.top), client.cx - 2 * x(footer_place_.left),
               Scaled(kFooterHeight, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
  bar_->Layout(client.cx, dpi_, fonts_.dialog.get());
  tooltips_.SetMaxWidth(Scaled(kTooltipWidth, dpi_));

  // Icons at this DPI: the window's, and the program's beside the Start row.
  small_icon_ = LoadProgramIcon(instance_, IDI_PROGRAM, MetricForDpi(SM_CXSMICON, dpi_));
  big_icon_ = LoadProgramIcon(instance_, IDI_PROGRAM, MetricForDpi(SM_CXICON, dpi_));
  SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
  SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
  RECT icon_place{};
  GetClientRect(Item(IDC_PROGRAM_ICON), &icon_place);
  panel_icon_ = LoadProgramIcon(instance_, IDI_PROGRAM, std::min(icon_place.right, icon_place.bottom));
  SendMessageW(Item(IDC_PROGRAM_ICON), STM_SETICON, reinterpret_cast<WPARAM>(panel_icon_.get()), 0);
  InvalidateRect(dialog_, nullptr, TRUE);
}

void PanelWindow::ApplyFonts() {
  for (const PlacedControl& control : placed_) SetFont(control.window, fonts_.dialog.get());
  for (int id : kValueControls) SetFont(Item(id), fonts_.value.get());
  SetFont(Item(IDC_PROGRAM_NAME), fonts_.value.get());
  for (int id : {IDC_READ_FRAME, IDC_WRITE_FRAME, IDC_RATING_FRAME}) SetFont(Item(id), fonts_.frame.get());
  SetFont(Item(IDC_SUMMARY), fonts_.small.get());
  SetFont(Item(IDC_STATUS), fonts_.small.get());
  for (int id : kTestButtons) SetFont(Item(id), fonts_.ForButton(test_font_));
  SetFont(Item(IDC_START), fonts_.ForButton(start_font_));
  footer_.SetFont(fonts_.dialog.get());
}

void PanelWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  fonts_ = MakePanelFonts(dpi_);
  menu_icons_.Load(dpi_);
  donate_icon_ = LoadProgramIcon(instance_, IDI_DONATE, Scaled(16, dpi_));
  SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Layout();
  if (!menu_.empty()) bar_->SetMenu(menu_, menu_icons_.Handles());
  if (strip_command_ != 0) bar_->SetStripButton(strip_text_, strip_command_, donate_icon_.get());
}

// --- PanelView ---

void PanelWindow::SetControlText(int control, const std::string& text) {
  if (HWND item = Item(control)) SetWindowTextW(item, WindowsLines(text).c_str());
}

void PanelWindow::SetControlEnabled(int control, bool enabled) {
  if (HWND item = Item(control)) EnableWindow(item, enabled ? TRUE : FALSE);
}

void PanelWindow::SetControlTooltip(int control, const std::string& text) {
  tooltips_.Set(Item(control), text);
}

void PanelWindow::ShowSelectedDriveTooltip() { tooltips_.Set(drives_.PointerTarget(), drives_.SelectedTooltip()); }

void PanelWindow::SetTitle(const std::string& title) { SetWindowTextW(dialog_, WideFromUtf8(title).c_str()); }

void PanelWindow::SetButtonFonts(ButtonFont test_buttons, ButtonFont start_button) {
  test_font_ = test_buttons;
  start_font_ = start_button;
  ApplyFonts();
}

void PanelWindow::SetRightToLeft(bool right_to_left) {
  if (right_to_left == right_to_left_) return;
  right_to_left_ = right_to_left;
  // The dialog and every control mirror; the places are then given again in mirrored coordinates.
  SetRightToLeftLayout(dialog_, right_to_left);
  tooltips_.SetRightToLeft(right_to_left);
  for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    SetRightToLeftLayout(child, right_to_left);
  }
  Layout();
  RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void PanelWindow::SetMenuBar(const MenuBar& menu) {
  menu_ = menu;
  bar_->SetMenu(menu, menu_icons_.Handles());
}

void PanelWindow::SetMenuItemChecked(int command, bool checked) { bar_->SetChecked(command, checked); }

void PanelWindow::SetStripButton(const std::string& text, int command) {
  strip_text_ = text;
  strip_command_ = command;
  bar_->SetStripButton(text, command, donate_icon_.get());
}

void PanelWindow::SetFooterButtons(const std::vector<MenuItem>& buttons) {
  footer_.SetButtons(buttons);
  footer_.SetFont(fonts_.dialog.get());
}

void PanelWindow::SetSizeItems(const std::vector<std::string>& items) { sizes_.SetItems(items); }

int PanelWindow::SizeSelection() const { return sizes_.Selection(); }

void PanelWindow::SelectSize(int index) { sizes_.Select(index); }

void PanelWindow::SetDriveItems(const std::vector<DriveItem>& items) {
  drives_.SetItems(items);
  ShowSelectedDriveTooltip();
}

int PanelWindow::DriveSelection() const { return drives_.Selection(); }

void PanelWindow::SelectDrive(int index) {
  drives_.Select(index);
  ShowSelectedDriveTooltip();
}

void PanelWindow::StartTimer(int id, int milliseconds) {
  SetTimer(dialog_, static_cast<UINT_PTR>(id), static_cast<UINT>(std::max(milliseconds, 1)), nullptr);
}

void PanelWindow::Quit(int exit_code) {
  // The dialog closes; the quit message carries the exit code out of the program's message loop.
  EndDialog(dialog_, exit_code);
  PostQuitMessage(exit_code);
}

void PanelWindow::ShowInformation(const std::string& caption, const std::string& text) {
  MessageBoxW(dialog_, WindowsLines(text).c_str(), WideFromUtf8(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

void PanelWindow::ShowError(const std::string& text) {
  MessageBoxW(dialog_, WindowsLines(text).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

int PanelWindow::ChooseFromLanguageMenu(const std::vector<MenuItem>& items) {
  // The TAB puts the second name and the percentage in the right-hand column.
  const UniqueMenu menu(MakePopupMenu(items));
  const int index = footer_.IndexOf(kCommandLanguage);
  RECT anchor = footer_.ButtonRect(index);
  MapWindowPoints(footer_.get(), nullptr, reinterpret_cast<POINT*>(&anchor), 2);
  footer_.SetPressed(kCommandLanguage, true);
  const UINT direction = right_to_left_ ? TPM_RIGHTALIGN | TPM_LAYOUTRTL : TPM_LEFTALIGN;
  const int chosen = static_cast<int>(TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | direction,
                                                       right_to_left_ ? anchor.right : anchor.left, anchor.bottom,
                                                       dialog_, nullptr));
  footer_.SetPressed(kCommandLanguage, false);
  return chosen;
}

std::optional<std::string> PanelWindow::AskSaveFileName(const std::string& proposed_name) {
  return AskFileName(dialog_, proposed_name, true);
}

std::optional<std::string> PanelWindow::AskOpenFileName() { return AskFileName(dialog_, "", false); }

std::optional<std::string> PanelWindow::AskFolderName(const std::string& start) {
  FolderChoice choice = AskFolder(dialog_, start);
  if (choice.error) ShowError(std::string(kChooseFolder) + "\n" + choice.error.description);
  return std::move(choice.folder);
}

std::string PanelWindow::RenderPng() {
  // The dialog's own pixels: let everything pending be drawn first.
  RedrawWindow(dialog_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return WindowPicturePng(dialog_);
}

void PanelWindow::CopyToClipboard(const std::string& text) {
  const std::wstring wide = WindowsLines(text);
  if (!OpenClipboard(dialog_)) return;
  EmptyClipboard();
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(global)) {
      std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, static_cast<wchar_t*>(target));
      GlobalUnlock(global);
      // The clipboard owns the memory once it has taken it.
      if (SetClipboardData(CF_UNICODETEXT, global) == nullptr) GlobalFree(global);
    } else {
      GlobalFree(global);
    }
  }
  CloseClipboard();
}

// --- UiThread ---

void PanelWindow::Post(std::function<void()> task) {
  const std::lock_guard lock(tasks_mutex_);
  tasks_.push_back(std::move(task));
  // One wake-up for the first waiting task; the dialog runs them all.
  if (tasks_.size() == 1 && dialog_ != nullptr) PostMessageW(dialog_, kRunTasksMessage, 0, 0);
}

void PanelWindow::RunTasks() {
  for (;;) {
    std::function<void()> task;
    {
      const std::lock_guard lock(tasks_mutex_);
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

}  // namespace korvanel::win32
