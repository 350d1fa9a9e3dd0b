#pragma once
// The shell's verbs: files with the user's associated program, web pages in the browser, programs
// and management consoles started.

#include <windows.h>

#include <string>

#include "platform/default_application.h"

namespace korvanel::platform {

struct ShellLaunch {
  std::wstring file;
  std::wstring parameters;
  std::wstring directory;            // the working directory; empty: the caller's
  const wchar_t* verb = L"open";     // nullptr: the file type's default verb
  bool expand_environment = false;   // %VARIABLES% in file and directory are expanded by the shell
  HWND owner = nullptr;
};

// Starts `launch` and returns without waiting for it. Failures come back as the shell's error
// instead of a dialog box.
//
// When the environment variable KORVANEL_RECORD_LAUNCHES names a file, nothing is started: each
// launch is appended to that file as one line of UTF-8, "verb|file|parameters|directory|flags",
// so that tests see exactly what the program would start.
OpenOutcome ShellStart(const ShellLaunch& launch);

// Opens `target` with the "open" verb (with `parameters` for a program).
OpenOutcome ShellOpen(const std::wstring& target, const std::wstring& parameters = L"");

}  // namespace korvanel::platform
