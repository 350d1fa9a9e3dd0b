#pragma once
// Whole-file reading for the settings file, with the reason when it cannot be read.

#include <cstddef>
#include <string>

#include "common/sys_error.h"

namespace korvanel {

// A settings file is far below this; anything larger is not one of ours.
inline constexpr size_t kMaxSettingsFileBytes = 64 * 1024;

// Reads the whole content of the regular file at `path` into `content`. Fails (ENOENT when it is
// missing) when it is not a regular file (a directory, a device, a FIFO), is larger than
// kMaxSettingsFileBytes or cannot be read; `content` is then empty.
SysError ReadWholeFile(const std::string& path, std::string* content);

}  // namespace korvanel
