#pragma once
// What the panel's logic needs from a window: one implementation per toolkit (the Qt window, a
// native Windows window later, a fake in tests). Every call comes on the view's own thread.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/panel/menu_model.h"
#include "drives/drive_entry.h"

namespace korvanel::panel {

struct DriveItem {
  std::string text;  // root and model, a folder's path, or "Choose folder..."
  DriveKind kind = DriveKind::kFixed;
  bool folder = false;   // a folder (or the item that chooses one): shown with a folder's icon
  bool enabled = true;   // greyed and not selectable when false
  std::string tooltip;   // where the test goes, or why it cannot go there
};

// The two fonts of the single-test buttons: the large one, or a smaller one for languages whose
// button texts are long.
enum class ButtonFont { kLarge, kCompact };

class PanelView {
 public:
  virtual ~PanelView() = default;

  // --- texts and states of controls, by id (panel_ids.h, results/value_texts.h) ---
  virtual void SetControlText(int control, const std::string& text) = 0;
  virtual void SetControlEnabled(int control, bool enabled) = 0;
  // The text a pointer resting on the control shows; empty: none.
  virtual void SetControlTooltip(int control, const std::string& text) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void SetButtonFonts(ButtonFont test_buttons, ButtonFont start_button) = 0;
  virtual void SetRightToLeft(bool right_to_left) = 0;

  // --- menu bar, its right-hand button and the footer ---
  // Replaces the whole menu bar.
  virtual void SetMenuBar(const MenuBar& menu) = 0;
  virtual void SetMenuItemChecked(int command, bool checked) = 0;
  // Replaces the button at the right end of the menu bar.
  virtual void SetStripButton(const std::string& text, int command) = 0;
  // Replaces the footer's buttons, in order.
  virtual void SetFooterButtons(const std::vector<MenuItem>& buttons) = 0;

  // --- the two lists; setting their items never counts as the user's choice ---
  virtual void SetSizeItems(const std::vector<std::string>& items) = 0;  // leaves nothing selected
  virtual int SizeSelection() const = 0;                                 // -1: none
  virtual void SelectSize(int index) = 0;
  virtual void SetDriveItems(const std::vector<DriveItem>& items) = 0;   // leaves nothing selected
  virtual int DriveSelection() const = 0;
  virtual void SelectDrive(int index) = 0;

  // --- time and the end ---
  // Starts (or restarts) one-shot timer `id`; when it fires the view calls Panel::OnTimer(id).
  virtual void StartTimer(int id, int milliseconds) = 0;
  // Closes the panel; the program ends with `exit_code`.
  virtual void Quit(int exit_code) = 0;

  // --- boxes and dialogs; each returns when the user has answered ---
  virtual void ShowInformation(const std::string& caption, const std::string& text) = 0;
  virtual void ShowError(const std::string& text) = 0;
  // Shows `items` as a popup at the footer's language button; the chosen command, or 0.
  virtual int ChooseFromLanguageMenu(const std::vector<MenuItem>& items) = 0;
  // The file the user chose to save the picture in, starting from `proposed_name`; nothing when
  // the dialog was cancelled.
  virtual std::optional<std::string> AskSaveFileName(const std::string& proposed_name) = 0;
  // The file the user chose to open; nothing when cancelled.
  virtual std::optional<std::string> AskOpenFileName() = 0;
  // The folder the user chose, starting in `start`; nothing when cancelled.
  virtual std::optional<std::string> AskFolderName(const std::string& start) = 0;

  // --- what leaves the panel ---
  // The panel drawn by itself into a PNG image, its title above it; empty when drawing failed.
  virtual std::string RenderPng() = 0;
  virtual void CopyToClipboard(const std::string& text) = 0;
};

// The view's thread seen from the worker threads: tasks run there in the order they were handed in.
class UiThread {
 public:
  virtual ~UiThread() = default;
  // Any thread: runs `task` on the view's thread later.
  virtual void Post(std::function<void()> task) = 0;
};

}  // namespace korvanel::panel
