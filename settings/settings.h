#pragma once
// The program's persistent settings: integer values in section "Program" of "Korvanel.ini", and
// where that file lives. Every function is safe to call from any thread. Until a settings path is
// located or set, reads give their defaults and writes do nothing.

#include <string>

#include "common/sys_error.h"

namespace korvanel {

// The section that holds the program's own settings.
inline constexpr const char* kProgramSection = "Program";

// Where the settings file goes for an executable in `exe_dir`: "<exe_dir>/Korvanel.ini" when that
// is an existing regular file and `exe_dir` does not lie under `temp_dir`, otherwise
// "<config_dir>/Korvanel/Korvanel.ini". An empty `exe_dir` (unknown) always gives the latter.
std::string ChooseSettingsPath(const std::string& exe_dir, const std::string& temp_dir,
                               const std::string& config_dir);

// Decides the settings path for this process from the system's directories, creates the
// configuration directory and an empty file when they are missing (failures leave reads at their
// defaults), and makes it the path in use.
void LocateSettingsFile();

// Decides the settings path as LocateSettingsFile does but creates nothing, for a command that
// only reads (a listing); one that goes on to write calls LocateSettingsFile first.
void FindSettingsFile();
// Why the settings file in use cannot be read: it is no regular file (a directory, a device, a
// FIFO), is larger than a settings file can be, or reading fails. Reads then give their defaults
// and writes change nothing; the user should learn why. No error when there is no file yet.
SysError SettingsFileProblem();

// Makes `path` the settings file in use; an empty path switches the store off.
void SetSettingsPath(std::string path);

// The settings file in use; empty before LocateSettingsFile or SetSettingsPath.
std::string SettingsPath();

// The integer under `key` in section "Program": `def` when the key is missing or its value empty,
// otherwise the value's leading decimal number (0 when it has no digits, saturated to int). Only
// when neither bound is -1 is the result clamped to at most `upper`, then to at least `lower`.
int ReadSettingInt(const std::string& key, int def, int lower = -1, int upper = -1);

// The stored test length "test_time_id": 1 when missing, otherwise kept within 0..3 (quick .. very
// long), so an edited file cannot ask for a length that does not exist.
int ReadTestTimeSetting();

// Stores `value` in decimal under `key` in section "Program". Returns why it was not stored, also
// kept for SettingsWriteProblem; callers that show nothing may ignore it.
SysError WriteSettingInt(const std::string& key, int value);

// Why the last write to the settings file stored nothing; no error after one that succeeded (or
// before any).
SysError SettingsWriteProblem();

// Sets `out` to the value under `key` in `section` (empty when missing) and returns its length in
// bytes. `path` replaces the settings path when not empty.
int ReadSettingString(const std::string& section, const std::string& key, std::string& out,
                      const std::string& path = "");

// Stores `text` under `key` in `section`, keeping every other line of the file in its encoding
// (UTF-8, or UTF-16 with its mark); the file is replaced as a whole, never left half-written.
// False when no path is set, a name or the text holds a line break, the file cannot be written, or
// the file would grow past what the reader takes (kMaxSettingsFileBytes) or would not keep its
// text unchanged; SettingsWriteProblem then says why.
bool WriteSettingString(const std::string& section, const std::string& key, const std::string& text,
                        const std::string& path = "");

// The directory of the running executable without a trailing slash; empty when unknown.
std::string ProgramDirectory();

}  // namespace korvanel
