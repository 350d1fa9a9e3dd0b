#pragma once
// Small file-system routines the panel uses.

#include <string>

namespace korvanel {

enum PathKind { kPathMissing = 0, kPathFile = 1, kPathDirectory = 2, kPathUnreadable = 255 };

// Whether `path` is an existing file (anything but a directory), a directory, missing (also when
// a parent is not a directory), or could not be examined for another reason (kPathUnreadable).
int GetPathKind(const std::string& path);

// Whether this is a 32-bit process on a 64-bit system that redirects system paths; such
// redirection exists only on Windows, elsewhere always 0.
int IsWow64();

// Turns that redirection off for the calling thread; does nothing where there is none.
void DisableFsRedirection();

}  // namespace korvanel
