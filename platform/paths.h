#pragma once
// Where Korvanel finds itself and keeps its files. Implemented once per platform.

#include <string>
#include <vector>

#include "common/sys_error.h"

namespace korvanel::platform {

// Full path of the running executable; empty when the system cannot tell.
std::string ExecutablePath();

// The system's temporary directory (Linux: $TMPDIR, else /tmp; Windows: GetTempPathW), without a
// trailing separator.
std::string TempDirectory();

// The user's home directory (Linux: $HOME when it is an absolute path, else the user's entry in the
// password database; Windows: the profile folder); empty when the system cannot tell.
std::string HomeDirectory();

// The per-user configuration directory (Linux: $XDG_CONFIG_HOME, else ~/.config; Windows: the
// roaming application-data folder, %APPDATA%), without a trailing separator.
std::string UserConfigDirectory();

// The directory `path` names, as an absolute path with its links resolved (on Windows junctions too,
// and paths of any length); an error whose description says why when it does not exist or is no
// directory.
SysError ResolveDirectory(const std::string& path, std::string* resolved);

// Whether `path` is `directory` or lies below it, compared as the system compares names: links in
// `directory` resolved on Linux; on Windows "/" and "\" alike and without regard to case. Doubled
// separators count once; a name that merely starts alike ("/tmpfiles" for "/tmp") does not count.
bool PathLiesUnder(const std::string& path, const std::string& directory);

// Korvanel's private directory for its temporary files (report page, screenshot, translation
// export). Linux: $XDG_RUNTIME_DIR/korvanel when that variable names a directory that nobody else
// can rearrange (the user's or root's, not writable by others unless sticky), otherwise
// korvanel-<uid> in TempDirectory(), created on first use with mode 0700. Since anyone can take
// that name first (with a link, a file, a directory of their own or one others may enter), the
// files then go to korvanel-<uid>-XXXXXX, made by mkdtemp with an unpredictable name and used again
// later, and the notice says so. Refused when the temporary directory itself lets others rearrange
// it. Windows: TempDirectory()\Korvanel, created with access for the user alone; refused (its
// description naming the directory) when the name is taken by a reparse point or another user's
// directory.
struct PrivateFile {
  std::string path;    // where the file is (or would have been) written
  SysError error;      // why it could not be written; the description says what is wrong
  std::string notice;  // why the file is not where it usually goes, and where it is; else empty
};

// Writes `pieces` as the file `name` in the private directory, replacing an older file of that
// name (by the rules of ReplaceFile, platform/files.h). The directory is checked and kept open, and
// the file is created relative to it, so a directory swapped in by someone else between the check
// and the write cannot redirect it. The path is for handing the file to other programs.
PrivateFile WritePrivateTempFile(const std::string& name, const std::vector<std::string>& pieces);

}  // namespace korvanel::platform
