#include "ui/win32/folder_dialog.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "platform/windows/com_owners.h"
#include "platform/windows/wide_text.h"

namespace korvanel::win32 {
namespace {

using platform::ComPtr;

// The system's text for the failure, with the step that failed.
SysError DialogError(HRESULT result, const char* step) {
  SysError error = SysError::FromSystemCode(static_cast<int>(result));
  error.description += std::string(" (") + step + ")";
  return error;
}

// Opens the dialog in `start`; a folder that is gone leaves the dialog where the system puts it.
void StartIn(IFileOpenDialog* dialog, const std::string& start) {
  if (start.empty()) return;
  ComPtr<IShellItem> folder;
  const std::wstring path = platform::WideFromUtf8(start);
  if (SUCCEEDED(SHCreateItemFromParsingName(path.c_str(), nullptr, IID_IShellItem,
                                            reinterpret_cast<void**>(folder.Receive())))) {
    dialog->SetFolder(folder.get());
  }
}

}  // namespace

FolderChoice AskFolder(HWND owner, const std::string& start) {
  ComPtr<IFileOpenDialog> dialog;
  HRESULT result = CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                    reinterpret_cast<void**>(dialog.Receive()));
  if (FAILED(result)) return {std::nullopt, DialogError(result, "CoCreateInstance")};
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  // Only folders of the file system can hold a test directory (no libraries, no "This PC").
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
  StartIn(dialog.get(), start);
  result = dialog->Show(owner);
  if (result == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return {};
  if (FAILED(result)) return {std::nullopt, DialogError(result, "Show")};
  ComPtr<IShellItem> chosen;
  result = dialog->GetResult(chosen.Receive());
  if (FAILED(result)) return {std::nullopt, DialogError(result, "GetResult")};
  wchar_t* path = nullptr;
  result = chosen->GetDisplayName(SIGDN_FILESYSPATH, &path);
  if (FAILED(result)) return {std::nullopt, DialogError(result, "GetDisplayName")};
  std::string folder = platform::Utf8FromWide(path);
  CoTaskMemFree(path);
  return {std::move(folder), {}};
}

}  // namespace korvanel::win32
