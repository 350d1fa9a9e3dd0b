#pragma once
// Replacing a file by its name in an open directory. The file replacement and the private temporary
// directory share it: once the directory is open, renaming it or putting a link in its place
// cannot send the file anywhere else.

#include <string>
#include <vector>

#include "common/sys_error.h"

namespace korvanel::platform {

// Replaces (or creates) `name` in the open directory `dir_fd` with `pieces`, by the rules of
// ReplaceFile (platform/files.h).
SysError ReplaceFileAt(int dir_fd, const std::string& name, const std::vector<std::string>& pieces);

// Whether ReplaceFileAt could replace `name` in `dir_fd`.
SysError CheckReplaceableAt(int dir_fd, const std::string& name);

}  // namespace korvanel::platform
