#pragma once
// What korvanel-cli does with its options once settings and languages are loaded.

#include "app/cli/cli_options.h"

namespace korvanel::cli {

// Runs the actions the options ask for and returns the process's exit code.
int RunCli(const CliOptions& options);

}  // namespace korvanel::cli
