// Pages and files open with the shell's "open" verb, as the user's file associations decide.

#include <windows.h>
#include <shellapi.h>

#include <cerrno>

#include "platform/default_application.h"
#include "platform/web_address.h"
#include "platform/windows/com_apartment.h"
#include "platform/windows/shell_open.h"
#include "platform/windows/volume_paths.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {

OpenOutcome ShellOpen(const std::wstring& target, const std::wstring& parameters) {
  OpenOutcome outcome;
  // Shell extensions that the verb may reach expect COM on the calling thread.
  const ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // SEE_MASK_FLAG_NO_UI: the failure comes back to us instead of a dialog box of the shell's.
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  execute.lpVerb = L"open";
  execute.lpFile = target.c_str();
  execute.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  execute.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&execute)) {
    outcome.launched = true;
  } else {
    outcome.error = LastWin32Error();
  }
  return outcome;
}

OpenOutcome OpenWithDefaultApplication(const std::string& path) {
  // A full path cannot be taken for a command or a web address by the shell.
  std::wstring target = FullPath(WidePath(path));
  return ShellOpen(target.empty() ? WidePath(path) : target);
}

OpenOutcome OpenWebPage(const std::string& address) {
  if (std::optional<OpenOutcome> refused = RefuseUnlessWebAddress(address)) return *refused;
  return ShellOpen(WideFromUtf8(address));
}

}  // namespace korvanel::platform
