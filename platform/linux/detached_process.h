#pragma once
// Starting another program without a shell and without waiting for it: the browser, an editor, a
// system tool. Linux only; the portable interfaces (default_application.h, system_tools.h) use it.

#include <string>
#include <string_view>
#include <vector>

#include "common/sys_error.h"

namespace korvanel::platform {

// The executable `program` names: a path with a "/" as it is, otherwise the first match on PATH;
// empty when there is none.
std::string FindProgramInPath(std::string_view program);

// Runs `program_path` with `arguments` (each one argv entry; argv[0] is the program's name) in a
// session of its own with quiet standard streams, adopted by init so it never becomes our zombie.
// Returns once the program has been executed, or the error that kept it from starting.
SysError StartDetachedProcess(const std::string& program_path, const std::vector<std::string>& arguments);

// Whether a desktop session is there to show what a started program opens.
bool HasGraphicalSession();

}  // namespace korvanel::platform
