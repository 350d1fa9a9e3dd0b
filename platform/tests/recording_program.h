#pragma once
// This machine has no desktop, so stand-in programs found first on PATH record how the real
// launcher starts them; everything else (fork, exec, environment) is the real thing.

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "common/testing/scratch.h"

namespace korvanel::testing {

inline void WriteScript(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
  chmod(path.c_str(), 0755);
}

// Records, in "record" beside itself, where its standard output goes, then each argument followed
// by a NUL byte.
inline const char* const kRecordingProgram =
    "#!/bin/sh\n"
    "PATH=/usr/bin:/bin\n"
    "out=\"$(dirname \"$0\")/record\"\n"
    "stdout=$(readlink /proc/$$/fd/1)\n"
    "{ echo \"$stdout\"; printf '%s\\0' \"$@\"; } >\"$out.part\"\n"
    "mv \"$out.part\" \"$out\"\n";

inline std::string WaitForFile(const std::string& path) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return ReadWholeFile(path);
}

}  // namespace korvanel::testing
