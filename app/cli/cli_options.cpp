#include "app/cli/cli_options.h"

#include <utility>

#include "engine/run_parameters.h"

namespace korvanel::cli {
namespace {

const std::pair<const char*, int> kTestNames[] = {
    {"all", kTestAll},        {"seq", kTestSequential},    {"4k", kTestRandom4K},
    {"512k", kTestRandom512K}, {"qd64", kTestQueued4K},     {"access", kTestAccessTime},
};

std::optional<int> ParseLength(const std::string& text) {
  if (text.size() != 1 || text[0] < '0' || text[0] > '3') return std::nullopt;
  return text[0] - '0';
}

}  // namespace

std::optional<int> TestIdForName(const std::string& name) {
  for (const auto& [test_name, id] : kTestNames) {
    if (name == test_name) return id;
  }
  return std::nullopt;
}

ParseResult ParseOptions(const std::vector<std::string>& args) {
  ParseResult result;
  CliOptions& options = result.options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // Options with a value take it from the next argument or after "=".
    std::string name = arg;
    std::optional<std::string> value;
    if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    const bool takes_value = name == "--drive" || name == "--length" || name == "--test";
    if (takes_value && !value) {
      if (i + 1 >= args.size()) {
        result.error = name + " needs a value";
        return result;
      }
      value = args[++i];
    }
    if (name == "--drive") {
      options.drive = *value;
    } else if (name == "--length") {
      options.length = ParseLength(*value);
      if (!options.length) result.error = "--length takes 0, 1, 2 or 3, not '" + *value + "'";
    } else if (name == "--test") {
      const auto id = TestIdForName(*value);
      if (id) options.test_id = *id;
      else result.error = "--test takes all, seq, 4k, 512k, qd64 or access, not '" + *value + "'";
    } else if (name == "--json" && !value) {
      options.json = true;
    } else if ((name == "--help" || name == "-h") && !value) {
      options.help = true;
    } else {
      result.error = "unknown option '" + arg + "'";
    }
    if (!result.error.empty()) return result;
  }
  return result;
}

std::string UsageLine() {
  return "usage: korvanel-cli [--drive DIR] [--length 0..3] [--test all|seq|4k|512k|qd64|access] [--json] [--help]";
}

std::string HelpText() {
  return UsageLine() +
         "\n\n"
         "Measures the drive that holds DIR: sequential 1 MiB, random 4 KB and 512 KB, and 4 KB with\n"
         "64 requests in flight, reads and writes. A temporary test directory is made in DIR and\n"
         "removed again, also after Ctrl+C.\n\n"
         "  --drive DIR   the directory to test in (default: the current directory)\n"
         "  --length N    0 quick (100 MiB, ~15 s), 1 short (200 MiB, ~30 s), 2 long (500 MiB, ~60 s),\n"
         "                3 very long (1000 MiB, ~4 min); default: the last length used\n"
         "  --test T      all (default), seq, 4k, 512k, qd64 or access\n"
         "  --json        print the rates as JSON instead of the table\n"
         "  --help        this text\n\n"
         "Exit codes: 0 done, 1 the benchmark reported an error, 2 bad options, 130 stopped by Ctrl+C.\n";
}

}  // namespace korvanel::cli
