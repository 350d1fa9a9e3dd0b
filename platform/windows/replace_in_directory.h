#pragma once
// Replacing a file by its name in an open directory. The file replacement and the private temporary
// directory share it: while the directory is held open, its files cannot be sent anywhere else.

#include <windows.h>

#include <string>
#include <vector>

#include "common/sys_error.h"
#include "platform/windows/handle_paths.h"

namespace korvanel::platform {

// Replaces (or creates) `name` in the open directory `directory` with `pieces`, by the rules of
// ReplaceFile (platform/files.h).
SysError ReplaceFileIn(const HeldDirectory& directory, const std::wstring& name, const std::vector<std::string>& pieces);

}  // namespace korvanel::platform
