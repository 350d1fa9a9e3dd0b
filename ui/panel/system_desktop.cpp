#include "ui/panel/desktop.h"
#include "platform/default_application.h"

namespace korvanel::panel {

bool SystemDesktop::HasTool(platform::SystemTool tool) { return platform::HasSystemTool(tool); }

SysError SystemDesktop::StartTool(platform::SystemTool tool, const std::string& file) {
  return platform::StartSystemTool(tool, file);
}

SysError SystemDesktop::OpenPage(const std::string& address) { return platform::OpenWebPage(address).error; }

SysError SystemDesktop::OpenFile(const std::string& path) {
  return platform::OpenWithDefaultApplication(path).error;
}

}  // namespace korvanel::panel
