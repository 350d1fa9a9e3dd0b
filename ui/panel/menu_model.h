#pragma once
// The panel's menus as plain data: the menu bar with its two popups, the footer's buttons and the
// language menu. A view turns them into its toolkit's menus.

#include <functional>
#include <string>
#include <vector>

namespace korvanel::panel {

struct MenuItem {
  int command = 0;       // 0: a separator
  std::string text;      // "&" marks the mnemonic; a TAB starts the right-aligned column
  std::string icon;      // a freedesktop icon name; empty: no icon
  bool checkable = false;
  bool checked = false;
  bool enabled = true;

  bool separator() const { return command == 0; }
  bool operator==(const MenuItem&) const = default;
};

struct MenuPopup {
  std::string title;
  std::vector<MenuItem> items;

  bool operator==(const MenuPopup&) const = default;
};

using MenuBar = std::vector<MenuPopup>;

// The menu bar in the current language. `has_command` tells which commands of the "&System" popup
// can run here; the others are left out, and so is a separator that would then stand at an end or
// beside another.
MenuBar BuildMenuBar(const std::function<bool(int command)>& has_command);

// Every command of a menu bar, in order (separators left out).
std::vector<int> MenuCommands(const MenuBar& menu);

// The language menu: one item per built-in language (the current one checked and disabled), a
// separator, then "Translate" and "Load from File (Unicode)".
std::vector<MenuItem> BuildLanguageMenu();

// Language menu commands: 10 + the language's index, and the two file commands.
inline constexpr int kLanguageCommandBase = 10;
inline constexpr int kLanguageCommandLast = 39;
inline constexpr int kCommandTranslate = 1000;
inline constexpr int kCommandLoadTranslation = 1001;

}  // namespace korvanel::panel
