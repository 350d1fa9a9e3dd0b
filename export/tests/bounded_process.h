#pragma once
// Runs a program for a test with a time limit: standard output into a file, standard error
// discarded, the whole process group killed when the limit passes.

#include <chrono>
#include <string>
#include <vector>

namespace korvanel::testing {

struct ProcessResult {
  bool started = false;
  bool timed_out = false;
  int exit_status = -1;  // the exit code when the program ended by itself
};

ProcessResult RunWithTimeout(const std::vector<std::string>& argv, const std::string& stdout_path,
                             std::chrono::milliseconds limit);

// The program's full path from PATH; empty when it is not there.
std::string FindProgram(const std::string& name);

}  // namespace korvanel::testing
