#pragma once
// The panel's menu bar: one popup per entry of the menu model, icons in a column, a check mark
// where an item carries one, and a button at the right end. Keyboard and mouse work as in any
// menu bar: Alt+letter, arrow keys wrapping from the last popup to the first, hover switching,
// Escape.

#include <QObject>
#include <functional>
#include <map>
#include <string>

#include "ui/panel/menu_model.h"

class QAction;
class QBoxLayout;
class QMenu;
class QMenuBar;
class QToolButton;

namespace korvanel::ui {

class CommandBar : public QObject {
 public:
  // `on_command` gets the command of a chosen item or of the right-hand button; `on_menu_opens`
  // runs before any popup shows, so the panel can set check marks. The right-hand button goes into
  // `row` after the bar: beside it rather than in its corner, where a screen reader would not find
  // it (a menu bar offers only its menus to one).
  CommandBar(QMenuBar* bar, QBoxLayout* row, std::function<void(int)> on_command, std::function<void()> on_menu_opens);

  // Replaces every popup with those of `menu`; the old ones are deleted.
  void SetMenu(const panel::MenuBar& menu);
  void SetChecked(int command, bool checked);
  // The button at the right end of the bar; replaced on each call.
  void SetStripButton(const std::string& text, int command);

  QMenuBar* bar() const { return bar_; }
  QToolButton* strip_button() const { return strip_; }
  // The action of `command`, or nullptr.
  QAction* Action(int command) const;

 private:
  QMenuBar* bar_;
  QBoxLayout* row_;
  QToolButton* strip_ = nullptr;
  int strip_command_ = 0;
  std::function<void(int)> on_command_;
  std::function<void()> on_menu_opens_;
  std::map<int, QAction*> actions_;
};

// Fills `menu` with `items` (separators, icons, check marks, right-aligned text after a TAB);
// returns the actions by command.
std::map<int, QAction*> FillMenu(QMenu* menu, const std::vector<panel::MenuItem>& items);

}  // namespace korvanel::ui
