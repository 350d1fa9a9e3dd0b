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

std::optional<int> ParseIndex(const std::string& text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

const char* const kValueOptions[] = {"--drive", "--length", "--test", "--lang", "--load-translation", "--report-file"};

bool TakesValue(const std::string& name) {
  for (const char* option : kValueOptions) {
    if (name == option) return true;
  }
  return false;
}

// Options without a value: the flag each one sets.
bool* FlagFor(const std::string& name, CliOptions& options) {
  if (name == "--json") return &options.json;
  if (name == "--help" || name == "-h") return &options.help;
  if (name == "--list") return &options.list;
  if (name == "--languages") return &options.languages;
  if (name == "--export-translation") return &options.export_translation;
  if (name == "--report") return &options.report;
  return nullptr;
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
    const bool takes_value = TakesValue(name);
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
    } else if (name == "--lang") {
      options.lang = ParseIndex(*value);
      if (!options.lang) result.error = "--lang takes a language number (see --languages), not '" + *value + "'";
    } else if (name == "--load-translation") {
      options.load_translation = *value;
    } else if (name == "--report-file") {
      options.report_file = *value;
    } else if (bool* flag = FlagFor(name, options); flag && !value) {
      *flag = true;
    } else {
      result.error = "unknown option '" + arg + "'";
    }
    if (!result.error.empty()) return result;
  }
  return result;
}

std::string UsageLine() {
  return "usage: korvanel-cli [--drive DIR|N] [--length 0..3] [--test all|seq|4k|512k|qd64|access] [--json]\n"
         "                    [--report | --report-file PATH] [--lang N] [--load-translation FILE]\n"
         "       korvanel-cli --list | --languages | --export-translation | --help";
}

std::string HelpText() {
  return UsageLine() +
         "\n\n"
         "Measures the drive that holds DIR: sequential 1 MiB, random 4 KB and 512 KB, and 4 KB with\n"
         "64 requests in flight, reads and writes. A temporary test directory is made in DIR and\n"
         "removed again, also after Ctrl+C.\n\n"
         "  --drive DIR   the directory to test in (default: the current directory), or N, the\n"
         "                number of a drive in --list\n"
         "  --length N    0 quick (100 MiB, ~15 s), 1 short (200 MiB, ~30 s), 2 long (500 MiB, ~60 s),\n"
         "                3 very long (1000 MiB, ~4 min); default: the last length used\n"
         "  --test T      all (default), seq, 4k, 512k, qd64 or access\n"
         "  --json        print the rates and the drive as JSON instead of the table\n"
         "  --report      after the run, open the comparison page in the browser\n"
         "  --report-file PATH  after the run, write the comparison page to PATH\n"
         "  --list        print the drives with what is known about them\n"
         "  --languages   print the languages; the current one is marked with *\n"
         "  --lang N      use language N from now on\n"
         "  --export-translation  write the English texts for translators and print the file's path\n"
         "  --load-translation FILE  use a translated text file for this run\n"
         "  --help        this text\n\n"
         "Exit codes: 0 done, 1 the benchmark reported an error, 2 bad options, 130 stopped by Ctrl+C.\n";
}

}  // namespace korvanel::cli
