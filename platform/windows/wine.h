#pragma once
// Wine runs the Windows build here, but it is not Windows: it ignores unbuffered I/O, runs
// overlapped file requests one at a time and makes up its WMI answers. Tests ask this to skip what
// only Windows can show; the program itself behaves the same either way.

#include <string>

namespace korvanel::platform {

// Wine's version ("8.0") when the process runs under Wine, else empty.
std::string WineVersion();

inline bool RunningUnderWine() { return !WineVersion().empty(); }

}  // namespace korvanel::platform
