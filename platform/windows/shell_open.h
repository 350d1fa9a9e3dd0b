#pragma once
// The shell's "open" verb: files with the user's associated program, web pages in the browser,
// programs started.

#include <string>

#include "platform/default_application.h"

namespace korvanel::platform {

// Opens `target` (with `parameters` for a program) and returns without waiting for it. Failures come
// back as the shell's error instead of a dialog box.
OpenOutcome ShellOpen(const std::wstring& target, const std::wstring& parameters = L"");

}  // namespace korvanel::platform
