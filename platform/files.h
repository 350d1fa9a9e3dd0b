#pragma once
// Small files that other users may try to interfere with: settings, translation files, report
// pages. Only regular files are read or replaced, links are followed only where they and their
// target are the user's own, and a replacement is written beside the old file and renamed over it,
// so a reader sees either the old or the complete new content.

#include <cstddef>
#include <string>
#include <vector>

#include "common/sys_error.h"

namespace korvanel::platform {

// Reads the whole regular file at `path` (a link to one is followed) into `content`. Anything else
// (a directory, a device, a FIFO, a socket) is refused before it is opened, so nothing can block
// or act on being opened, and so is a file larger than `max_bytes`. Failures return an error whose
// description says what is wrong; `content` is then empty.
SysError ReadRegularFile(const std::string& path, size_t max_bytes, std::string* content);

// Writes `pieces` one after the other as the new content of `path`. A missing file is created; an
// existing one must be a regular file of the user's own and keeps its permissions; a link is
// followed only when the link and the regular file it names are both the user's own (the link
// stays). Anything else is refused with an error that says why. On failure the old file is as it
// was and no temporary file remains.
SysError ReplaceFile(const std::string& path, const std::vector<std::string>& pieces);

// Whether ReplaceFile could write `path`, for checks before long work whose result goes there: its
// directory exists and what lies at the name may be replaced; on Linux also that the directory takes
// the new file (one is made under the temporary name and removed again).
SysError CheckReplaceable(const std::string& path);

}  // namespace korvanel::platform
