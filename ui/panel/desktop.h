#pragma once
// What the panel starts outside itself: web pages, files in their programs, the system's tools.
// The system's own implementation is SystemDesktop; tests record the requests instead.

#include <string>

#include "common/sys_error.h"
#include "platform/system_tools.h"

namespace korvanel::panel {

class Desktop {
 public:
  virtual ~Desktop() = default;
  virtual bool HasTool(platform::SystemTool tool) = 0;
  // Starts the tool, with `file` as its argument when not empty; does not wait for it.
  virtual SysError StartTool(platform::SystemTool tool, const std::string& file) = 0;
  // Opens a web address in the default browser.
  virtual SysError OpenPage(const std::string& address) = 0;
  // Opens a file in the program the desktop associates with it.
  virtual SysError OpenFile(const std::string& path) = 0;
};

class SystemDesktop : public Desktop {
 public:
  bool HasTool(platform::SystemTool tool) override;
  SysError StartTool(platform::SystemTool tool, const std::string& file) override;
  SysError OpenPage(const std::string& address) override;
  SysError OpenFile(const std::string& path) override;
};

}  // namespace korvanel::panel
