// Pages and files open with the shell's "open" verb, as the user's file associations decide.

#include <windows.h>
#include <shellapi.h>

#include <cerrno>

#include "platform/default_application.h"
#include "platform/web_address.h"
#include "platform/windows/com_apartment.h"
#include "platform/windows/shell_open.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/volume_paths.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {

namespace {

// The file named by KORVANEL_RECORD_LAUNCHES, or empty.
std::wstring LaunchRecordPath() {
  return GrowingWideText([](wchar_t* buffer, DWORD capacity) {
    return GetEnvironmentVariableW(L"KORVANEL_RECORD_LAUNCHES", buffer, capacity);
  });
}

OpenOutcome RecordLaunch(const std::wstring& record, const ShellLaunch& launch, ULONG flags) {
  OpenOutcome outcome;
  const std::string line = Utf8FromWide((launch.verb != nullptr ? launch.verb : L"") + std::wstring(L"|") +
                                        launch.file + L"|" + launch.parameters + L"|" + launch.directory + L"|" +
                                        std::to_wstring(flags)) + "\n";
  const UniqueHandle file(CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file || !WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
    outcome.error = LastWin32Error();
  } else {
    outcome.launched = true;
  }
  return outcome;
}

}  // namespace

OpenOutcome ShellStart(const ShellLaunch& launch) {
  // SEE_MASK_FLAG_NO_UI: the failure comes back to us instead of a dialog box of the shell's.
  ULONG flags = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  if (launch.expand_environment) flags |= SEE_MASK_DOENVSUBST;
  if (const std::wstring record = LaunchRecordPath(); !record.empty()) return RecordLaunch(record, launch, flags);
  OpenOutcome outcome;
  // Shell extensions that the verb may reach expect COM on the calling thread.
  const ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = flags;
  execute.hwnd = launch.owner;
  execute.lpVerb = launch.verb;
  execute.lpFile = launch.file.c_str();
  execute.lpParameters = launch.parameters.empty() ? nullptr : launch.parameters.c_str();
  execute.lpDirectory = launch.directory.empty() ? nullptr : launch.directory.c_str();
  execute.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&execute)) {
    outcome.launched = true;
  } else {
    outcome.error = LastWin32Error();
  }
  return outcome;
}

OpenOutcome ShellOpen(const std::wstring& target, const std::wstring& parameters) {
  ShellLaunch launch;
  launch.file = target;
  launch.parameters = parameters;
  return ShellStart(launch);
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
