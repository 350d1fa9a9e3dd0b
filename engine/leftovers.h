#pragma once
// Test directories that an earlier run may have left on the drive (after a SIGKILL, a crash or a
// file system that failed during cleanup). They are only named, never removed: another user's
// directory or file may follow the same pattern, and we cannot prove one is ours.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/storage.h"

namespace korvanel {

struct Leftover {
  std::string path;  // the directory
  uint64_t bytes = 0;
};

// The directories in `drive_dir` named like a test directory that hold nothing but one file named
// like a test file.
std::vector<Leftover> FindLeftovers(platform::Storage& storage, const std::string& drive_dir);

// One line per leftover for an error box: where it is and how much it holds.
std::string LeftoverLines(const std::vector<Leftover>& leftovers);

}  // namespace korvanel
