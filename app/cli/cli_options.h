#pragma once
// The command line of korvanel-cli. Scripts use these option names; keep them.

#include <optional>
#include <string>
#include <vector>

namespace korvanel::cli {

struct CliOptions {
  std::string drive = ".";               // --drive DIR (or a drive list index)
  std::optional<int> length;             // --length 0..3; default: the stored test length
  int test_id = 6;                       // --test all|seq|4k|512k|qd64|access
  bool json = false;                     // --json
  bool help = false;                     // --help
};

struct ParseResult {
  CliOptions options;
  std::string error;  // not empty: a usage error (exit code 2)
};

ParseResult ParseOptions(const std::vector<std::string>& args);

// The test id for a --test name; nothing for an unknown name.
std::optional<int> TestIdForName(const std::string& name);

std::string UsageLine();
std::string HelpText();

}  // namespace korvanel::cli
