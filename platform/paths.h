#pragma once
// Where Korvanel finds itself and keeps its files. Implemented once per platform.

#include <string>

#include "common/sys_error.h"

namespace korvanel::platform {

// Full path of the running executable; empty when the system cannot tell.
std::string ExecutablePath();

// The system's temporary directory (Linux: $TMPDIR, else /tmp; Windows: GetTempPathW), without a
// trailing separator.
std::string TempDirectory();

// The per-user configuration directory (Linux: $XDG_CONFIG_HOME, else ~/.config; Windows: the
// roaming application-data folder, %APPDATA%), without a trailing separator.
std::string UserConfigDirectory();

// Whether `path` is `directory` or lies below it, compared as the system compares names: links in
// `directory` resolved on Linux; on Windows "/" and "\" alike and without regard to case. Doubled
// separators count once; a name that merely starts alike ("/tmpfiles" for "/tmp") does not count.
bool PathLiesUnder(const std::string& path, const std::string& directory);

// Korvanel's private directory for its temporary files (report page, screenshot, translation
// export). Linux: $XDG_RUNTIME_DIR/korvanel when that variable is set, otherwise a directory of the
// user's own under TempDirectory(), created with mode 0700. Windows: TempDirectory()\Korvanel,
// created with access for the user alone. Refused (empty result and `error` set) when the name is
// taken by a link, by another user's directory, or (Linux) by a directory that others may write to.
std::string PrivateTempDirectory(SysError* error = nullptr);

}  // namespace korvanel::platform
