#pragma once
// The panel as a Qt window: the view over the panel's logic. It lays out the controls with Qt
// layouts (so the panel grows with the font, the language and the screen's scale), forwards every
// user action as a command, and runs the workers' tasks and the panel's timers on its thread.

#include <QWidget>
#include <map>
#include <memory>

#include "ui/panel/panel_view.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTimer;
class QToolButton;
class QHBoxLayout;
class QVBoxLayout;

namespace korvanel::ui {
class CommandBar;
}

namespace korvanel::panel {

class Panel;

class QtPanelWindow : public QWidget, public PanelView, public UiThread {
 public:
  QtPanelWindow();
  ~QtPanelWindow() override;

  // The logic this window shows; set once, before the panel opens.
  void Attach(Panel* panel) { panel_ = panel; }

  // PanelView
  void SetControlText(int control, const std::string& text) override;
  void SetControlEnabled(int control, bool enabled) override;
  void SetControlTooltip(int control, const std::string& text) override;
  void SetTitle(const std::string& title) override;
  void SetButtonFonts(ButtonFont test_buttons, ButtonFont start_button) override;
  void SetRightToLeft(bool right_to_left) override;
  void SetMenuBar(const MenuBar& menu) override;
  void SetMenuItemChecked(int command, bool checked) override;
  void SetStripButton(const std::string& text, int command) override;
  void SetFooterButtons(const std::vector<MenuItem>& buttons) override;
  void SetSizeItems(const std::vector<std::string>& items) override;
  int SizeSelection() const override;
  void SelectSize(int index) override;
  void SetDriveItems(const std::vector<DriveItem>& items) override;
  int DriveSelection() const override;
  void SelectDrive(int index) override;
  void StartTimer(int id, int milliseconds) override;
  void Quit(int exit_code) override;
  void ShowInformation(const std::string& caption, const std::string& text) override;
  void ShowError(const std::string& text) override;
  int ChooseFromLanguageMenu(const std::vector<MenuItem>& items) override;
  std::optional<std::string> AskSaveFileName(const std::string& proposed_name) override;
  std::optional<std::string> AskOpenFileName() override;
  std::optional<std::string> AskFolderName(const std::string& start) override;
  std::string RenderPng() override;
  void CopyToClipboard(const std::string& text) override;

  // UiThread
  void Post(std::function<void()> task) override;

  // For tests: the widget that shows control `id` (a label, button, list or frame), or nullptr.
  QWidget* Control(int id) const;
  ui::CommandBar* command_bar() const { return command_bar_; }
  QToolButton* FooterButton(int command) const;
  // The window drawn by itself, with its title above (what RenderPng encodes).
  QImage RenderImage();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout();
  QLayout* BuildDriveRow();
  QLayout* BuildValueColumns();
  QLayout* BuildStartRow();
  QWidget* BuildRatings();
  QLabel* NewValueLabel(int id, Qt::Alignment alignment);
  QPushButton* NewCommandButton(int id);
  void Command(int command);
  void ApplyFonts();
  void FitSummary();
  void AlignRows();
  void LevelFirstRow();
  void FitToScreen();
  void ScheduleFit();
  void ShortenNotice();

  Panel* panel_ = nullptr;
  ui::CommandBar* command_bar_ = nullptr;
  std::map<int, QWidget*> controls_;
  std::map<int, QTimer*> timers_;
  std::vector<QLabel*> value_labels_;
  std::vector<QPushButton*> test_buttons_;
  QPushButton* start_button_ = nullptr;
  QComboBox* drive_list_ = nullptr;
  QComboBox* size_list_ = nullptr;
  QPlainTextEdit* summary_ = nullptr;
  QLabel* status_ = nullptr;
  QString status_name_;            // the status line's name while it is empty
  QScrollArea* scroll_ = nullptr;  // holds everything between the menu bar and the status line
  QWidget* content_ = nullptr;
  bool fit_pending_ = false;
  bool first_show_ = true;
  bool drive_list_focused_ = false;
  QHBoxLayout* footer_ = nullptr;
  QVBoxLayout* middle_column_ = nullptr;
  std::vector<QToolButton*> footer_buttons_;
  ButtonFont test_font_ = ButtonFont::kLarge;
  ButtonFont start_font_ = ButtonFont::kLarge;
};

}  // namespace korvanel::panel
