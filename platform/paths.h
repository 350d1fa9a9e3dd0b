#pragma once
// Where Korvanel finds itself and keeps its files. Implemented once per platform.

#include <string>

#include "common/sys_error.h"

namespace korvanel::platform {

// Full path of the running executable; empty when the system cannot tell.
std::string ExecutablePath();

// The system's temporary directory ($TMPDIR, else /tmp), without a trailing slash.
std::string TempDirectory();

// The per-user configuration directory ($XDG_CONFIG_HOME, else ~/.config), without a trailing slash.
std::string UserConfigDirectory();

// Korvanel's private directory for its temporary files (report page, screenshot, translation
// export): $XDG_RUNTIME_DIR/korvanel when that variable is set, otherwise a directory of the
// user's own under TempDirectory(). Created on first use with mode 0700; refused (empty result and
// `error` set) when the name is taken by a link, by another user's directory, or by a directory
// that others may write to.
std::string PrivateTempDirectory(SysError* error = nullptr);

}  // namespace korvanel::platform
