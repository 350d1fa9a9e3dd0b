#pragma once
// Creating a file that did not exist, for writing through C stdio.

#include <cstdio>
#include <string>

#include "common/sys_error.h"

namespace korvanel {

// Opens `path` for binary writing only if no file, directory or link has that name (a link placed
// there is never followed); null with `error` set otherwise (SysError::Is(EEXIST) when taken).
std::FILE* CreateNewFileForWriting(const std::string& path, SysError* error);

}  // namespace korvanel
