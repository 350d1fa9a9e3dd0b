#pragma once
// The panel as a native Windows dialog (resource IDD_PANEL): the view over the panel's logic. The
// dialog template places the controls in dialog units; the window lays them out again at its
// monitor's DPI, with the panel's fonts, and forwards every command, list change, key and timer to
// the logic. Worker threads reach it through Post, which the dialog's own message loop runs.

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ui/panel/panel_view.h"
#include "ui/win32/accessible_descriptions.h"
#include "ui/win32/command_bar.h"
#include "ui/win32/controls.h"
#include "ui/win32/gdi_handles.h"
#include "ui/win32/menu_icons.h"
#include "ui/win32/panel_fonts.h"
#include "ui/win32/tooltips.h"

namespace korvanel::panel {
class Panel;
}

namespace korvanel::win32 {

class PanelWindow : public panel::PanelView, public panel::UiThread {
 public:
  explicit PanelWindow(HINSTANCE instance);
  ~PanelWindow() override;
  PanelWindow(const PanelWindow&) = delete;
  PanelWindow& operator=(const PanelWindow&) = delete;

  // The logic this window shows; set once, before the panel opens.
  void Attach(panel::Panel* panel) { panel_ = panel; }
  // Shows the panel as a modal dialog without an owner and returns when it has closed.
  void RunModal();

  // PanelView
  void SetControlText(int control, const std::string& text) override;
  void SetControlEnabled(int control, bool enabled) override;
  void SetControlTooltip(int control, const std::string& text) override;
  void SetTitle(const std::string& title) override;
  void SetButtonFonts(panel::ButtonFont test_buttons, panel::ButtonFont start_button) override;
  void SetRightToLeft(bool right_to_left) override;
  void SetMenuBar(const panel::MenuBar& menu) override;
  void SetMenuItemChecked(int command, bool checked) override;
  void SetStripButton(const std::string& text, int command) override;
  void SetFooterButtons(const std::vector<panel::MenuItem>& buttons) override;
  void SetSizeItems(const std::vector<std::string>& items) override;
  int SizeSelection() const override;
  void SelectSize(int index) override;
  void SetDriveItems(const std::vector<panel::DriveItem>& items) override;
  int DriveSelection() const override;
  void SelectDrive(int index) override;
  void StartTimer(int id, int milliseconds) override;
  void Quit(int exit_code) override;
  void ShowInformation(const std::string& caption, const std::string& text) override;
  void ShowError(const std::string& text) override;
  int ChooseFromLanguageMenu(const std::vector<panel::MenuItem>& items) override;
  std::optional<std::string> AskSaveFileName(const std::string& proposed_name) override;
  std::optional<std::string> AskOpenFileName() override;
  std::optional<std::string> AskFolderName(const std::string& start) override;
  std::string RenderPng() override;
  void CopyToClipboard(const std::string& text) override;

  // UiThread
  void Post(std::function<void()> task) override;

 private:
  // A control's place as the dialog manager laid it out, in pixels at the opening DPI.
  struct PlacedControl {
    HWND window;
    RECT rect;
  };

  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK FilterDialogMessage(int code, WPARAM wparam, LPARAM lparam);
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnInitDialog(HWND dialog);
  void OnCommand(WPARAM wparam);
  void OnTimer(UINT_PTR id);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnSessionEnd();
  INT_PTR OnColorStatic(HDC dc, HWND control);
  void RunTasks();
  bool OnKeyInDialog(const MSG& message);

  void RecordLayout();
  void Layout();
  void ApplyFonts();
  void ShowSelectedDriveTooltip();
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }

  HINSTANCE instance_;
  HWND dialog_ = nullptr;
  panel::Panel* panel_ = nullptr;
  std::unique_ptr<CommandBar> bar_;
  std::unique_ptr<AccessibleDescriptions> descriptions_;
  TextToolbar footer_;
  ComboList sizes_;
  DriveComboList drives_;
  ControlTooltips tooltips_;
  HHOOK key_hook_ = nullptr;

  UINT dpi_ = 96;
  UINT opening_dpi_ = 96;
  std::vector<PlacedControl> placed_;
  SIZE opening_client_{};
  RECT footer_place_{};
  PanelFonts fonts_;
  panel::ButtonFont test_font_ = panel::ButtonFont::kLarge;
  panel::ButtonFont start_font_ = panel::ButtonFont::kLarge;
  MenuIcons menu_icons_;
  UniqueIcon small_icon_;
  UniqueIcon big_icon_;
  UniqueIcon panel_icon_;
  UniqueIcon donate_icon_;
  UniqueBrush value_background_;

  // What the set-up last gave, to lay it out again at another DPI.
  panel::MenuBar menu_;
  std::string strip_text_;
  int strip_command_ = 0;
  bool right_to_left_ = false;

  std::mutex tasks_mutex_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace korvanel::win32
