#include "ui/panel/menu_model.h"

#include "ui/panel/panel_ids.h"
#include "ui/panel/panel_texts.h"
#include "lang/languages.h"
#include "lang/text_ids.h"

namespace korvanel::panel {
namespace {

MenuItem Item(int command, std::string text, std::string icon = "") {
  return MenuItem{command, std::move(text), std::move(icon)};
}

MenuItem Separator() { return MenuItem{}; }

MenuPopup ProgramPopup() {
  MenuItem volume_label = Item(kCommandToggleVolumeLabel, GetText(kHideVolumeLabelText));
  volume_label.checkable = true;
  // The three web pages share one icon: each opens the browser.
  return {"&Korvanel",
          {Item(kCommandScreenshotToFile, GetText(kScreenshotToFileText), "document-save"),
           Item(kCommandScreenshotToPaint, GetText(kScreenshotToPaintText), "applications-graphics"), Separator(),
           Item(kCommandFaq, GetText(kFaqText), "internet-web-browser"),
           // The site's name comes from the one place the site is configured, not from the texts.
           Item(kCommandCompare, FilledIn(GetText(kCompareText), SiteName()), "internet-web-browser"),
           Item(kCommandHomepage, GetText(kHomepageText), "internet-web-browser"), Separator(), volume_label,
           Separator(),
           Item(kCommandInfo, GetText(kInfoText), "help-about"), Separator(),
           Item(kCommandExit, GetText(kExitText), "application-exit")}};
}

MenuPopup SystemPopup() {
  return {GetText(kSystemText),
          {Item(kCommandTaskManager, GetText(kTaskManagerText), "utilities-system-monitor"),
           Item(kCommandSystemSettings, GetText(kSystemText), "preferences-system"),
           Item(kCommandSystemInformation, GetText(kSystemInformationText), "computer"), Separator(),
           Item(kCommandOptimizeDrive, GetText(kOptimizeDriveText), "drive-harddisk"),
           Item(kCommandComputerManagement, GetText(kComputerManagementText), "preferences-system"),
           Item(kCommandDiskManagement, GetText(kDiskManagementText), "drive-harddisk"), Separator(),
           Item(kCommandSettingsFile, "Korvanel.ini", "text-x-generic")}};
}

// Drops the items whose command cannot run, then the separators left without items on both sides.
std::vector<MenuItem> Available(const std::vector<MenuItem>& items, const std::function<bool(int)>& has_command) {
  std::vector<MenuItem> kept;
  for (const MenuItem& item : items) {
    if (item.separator()) {
      if (!kept.empty() && !kept.back().separator()) kept.push_back(item);
    } else if (has_command(item.command)) {
      kept.push_back(item);
    }
  }
  if (!kept.empty() && kept.back().separator()) kept.pop_back();
  return kept;
}

}  // namespace

MenuBar BuildMenuBar(const std::function<bool(int)>& has_command) {
  MenuPopup system = SystemPopup();
  system.items = Available(system.items, has_command);
  return {ProgramPopup(), std::move(system)};
}

std::vector<int> MenuCommands(const MenuBar& menu) {
  std::vector<int> commands;
  for (const MenuPopup& popup : menu) {
    for (const MenuItem& item : popup.items) {
      if (!item.separator()) commands.push_back(item.command);
    }
  }
  return commands;
}

std::vector<MenuItem> BuildLanguageMenu() {
  std::vector<MenuItem> items;
  for (const LanguageMenuItem& language : ListLanguages()) {
    const int command = kLanguageCommandBase + language.index;
    if (command > kLanguageCommandLast) break;
    MenuItem item = Item(command, language.label);
    item.checkable = true;
    item.checked = language.current;
    item.enabled = !language.current;
    items.push_back(std::move(item));
  }
  items.push_back(Separator());
  // The two file commands are for translators and stay in English.
  items.push_back(Item(kCommandTranslate, "Translate"));
  items.push_back(Item(kCommandLoadTranslation, "Load from File (Unicode)"));
  return items;
}

}  // namespace korvanel::panel
