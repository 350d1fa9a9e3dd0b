#include "ui/qt/command_bar.h"

#include <QBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "ui/qt/panel_icons.h"

namespace korvanel::ui {

std::map<int, QAction*> FillMenu(QMenu* menu, const std::vector<panel::MenuItem>& items) {
  std::map<int, QAction*> actions;
  for (const panel::MenuItem& item : items) {
    if (item.separator()) {
      menu->addSeparator();
      continue;
    }
    // Qt shows the text after a TAB right-aligned in the shortcut column.
    QAction* action = menu->addAction(ThemeIcon(item.icon), QString::fromStdString(item.text));
    action->setData(item.command);
    action->setCheckable(item.checkable);
    action->setChecked(item.checked);
    action->setEnabled(item.enabled);
    actions[item.command] = action;
  }
  return actions;
}

CommandBar::CommandBar(QMenuBar* bar, QBoxLayout* row, std::function<void(int)> on_command,
                       std::function<void()> on_menu_opens)
    : QObject(bar), bar_(bar), row_(row), on_command_(std::move(on_command)), on_menu_opens_(std::move(on_menu_opens)) {}

void CommandBar::SetMenu(const panel::MenuBar& menu) {
  // Deleting a menu takes its actions with it; the bar forgets them by itself.
  for (QMenu* old : bar_->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly)) old->deleteLater();
  bar_->clear();
  actions_.clear();
  for (const panel::MenuPopup& popup : menu) {
    QMenu* qmenu = bar_->addMenu(QString::fromStdString(popup.title));
    connect(qmenu, &QMenu::aboutToShow, this, [this] { on_menu_opens_(); });
    connect(qmenu, &QMenu::triggered, this, [this](QAction* action) { on_command_(action->data().toInt()); });
    actions_.merge(FillMenu(qmenu, popup.items));
  }
}

void CommandBar::SetChecked(int command, bool checked) {
  if (QAction* action = Action(command)) action->setChecked(checked);
}

void CommandBar::SetStripButton(const std::string& text, int command) {
  if (strip_ == nullptr) {
    strip_ = new QToolButton;
    strip_->setAutoRaise(true);
    strip_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    strip_->setIcon(ThemeIcon("emblem-favorite"));
    connect(strip_, &QToolButton::clicked, this, [this] { on_command_(strip_command_); });
    row_->addWidget(strip_);
  }
  strip_->setText(QString::fromStdString(text));
  strip_->setAccessibleName(QString::fromStdString(text));
  strip_command_ = command;
}

QAction* CommandBar::Action(int command) const {
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

}  // namespace korvanel::ui
