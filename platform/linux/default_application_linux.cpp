#include "platform/default_application.h"

#include <cerrno>
#include <filesystem>

#include "platform/linux/detached_process.h"
#include "platform/web_address.h"

namespace korvanel::platform {
namespace {

constexpr const char* kOpener = "xdg-open";

OpenOutcome OpenWithOpener(const std::string& argument) {
  OpenOutcome outcome;
  if (!HasGraphicalSession()) return outcome;
  const std::string program = FindProgramInPath(kOpener);
  if (program.empty()) {
    outcome.error = SysError::FromErrno(ENOENT);
    outcome.error.description = std::string(kOpener) + " was not found";
    return outcome;
  }
  outcome.error = StartDetachedProcess(program, {kOpener, argument});
  outcome.launched = !outcome.error;
  return outcome;
}

}  // namespace

OpenOutcome OpenWithDefaultApplication(const std::string& path) {
  // An absolute path cannot be mistaken for an option or a URL by the opener.
  std::error_code ignored;
  const std::string absolute = std::filesystem::absolute(path, ignored).string();
  return OpenWithOpener(absolute.empty() ? path : absolute);
}

OpenOutcome OpenWebPage(const std::string& address) {
  if (std::optional<OpenOutcome> refused = RefuseUnlessWebAddress(address)) return *refused;
  return OpenWithOpener(address);
}

}  // namespace korvanel::platform
