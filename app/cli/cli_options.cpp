#include "app/cli/cli_options.h"

#include <set>
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
  if (name == "--version") return &options.version;
  if (name == "--list") return &options.list;
  if (name == "--languages") return &options.languages;
  if (name == "--export-translation") return &options.export_translation;
  if (name == "--report") return &options.report;
  return nullptr;
}

// Options that only a benchmark run uses.
const char* const kRunOnlyOptions[] = {"--drive", "--length", "--test", "--report", "--report-file"};

// The action the seen options ask for; an empty text or the reason they do not go together.
std::string DecideAction(const std::set<std::string>& seen, CliOptions& options) {
  // --help and --version answer whatever else is given, as other tools do.
  if (options.help || options.version) {
    options.action = options.help ? CliAction::kHelp : CliAction::kVersion;
    return "";
  }
  const std::pair<const char*, CliAction> actions[] = {
      {"--list", CliAction::kList},
      {"--languages", CliAction::kLanguages},
      {"--export-translation", CliAction::kExportTranslation},
  };
  std::string chosen;
  for (const auto& [name, action] : actions) {
    if (!seen.count(name)) continue;
    if (!chosen.empty()) return chosen + " and " + name + " cannot be combined";
    chosen = name;
    options.action = action;
  }
  if (seen.count("--report") && seen.count("--report-file")) {
    return "--report opens the comparison page and --report-file writes it to a file: choose one";
  }
  if (!chosen.empty()) {
    for (const char* option : kRunOnlyOptions) {
      if (seen.count(option)) return chosen + " runs no benchmark, so " + option + " does not go with it";
    }
    if (seen.count("--json") && options.action != CliAction::kList) return "--json goes with a run or --list";
    return "";
  }
  // --lang alone only changes the language; with any other option it applies to that run.
  if (seen.size() == 1 && seen.count("--lang")) options.action = CliAction::kStoreLanguage;
  return "";
}

}  // namespace

std::optional<int> TestIdForName(const std::string& name) {
  for (const auto& [test_name, id] : kTestNames) {
    if (name == test_name) return id;
  }
  return std::nullopt;
}

const char* TestNameForId(int test_id) {
  for (const auto& [test_name, id] : kTestNames) {
    if (id == test_id) return test_name;
  }
  return "unknown";
}

ParseResult ParseOptions(const std::vector<std::string>& args) {
  ParseResult result;
  CliOptions& options = result.options;
  std::set<std::string> seen;
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
    // An empty value is a slip (an unset variable in a script), not a request for the default.
    if (takes_value && value->empty()) {
      result.error = name + " needs a value, not an empty one";
      return result;
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
    seen.insert(name == "-h" ? "--help" : name);
  }
  result.error = DecideAction(seen, options);
  return result;
}

std::string UsageLine() {
  return "usage: korvanel-cli [--drive DIR|N] [--length 0..3] [--json]\n"
         "                    [--test all|seq|4k|512k|qd64|access]\n"
         "                    [--report | --report-file PATH] [--lang N]\n"
         "                    [--load-translation FILE]\n"
         "       korvanel-cli --list [--json] | --languages | --export-translation\n"
         "       korvanel-cli --lang N | --help | --version";
}

std::string HelpText() {
  return UsageLine() +
         "\n\n"
         "Measures the drive that holds DIR: sequential 1 MiB, random 4 KB and 512 KB,\n"
         "and 4 KB with 64 requests in flight, reads and writes. A temporary test\n"
         "directory is made in DIR and removed again, also after Ctrl+C.\n\n"
         "A benchmark runs unless --list, --languages, --export-translation, --help or\n"
         "--version is given, or --lang N is the only option: that stores the language\n"
         "and runs nothing. With no options at all the current directory is measured.\n\n"
         "  --drive DIR   the directory to test in (default: the current directory),\n"
         "                or N, the number of a drive in --list\n"
         "  --length N    0 quick (100 MiB, ~15 s), 1 short (200 MiB, ~30 s),\n"
         "                2 long (500 MiB, ~60 s), 3 very long (1000 MiB, ~4 min);\n"
         "                default: the last length used. The drive needs that much\n"
         "                free space.\n"
         "  --test T      all (default), seq, 4k, 512k, qd64 or access\n"
         "  --json        print the results (with --list: the drives) as JSON\n"
         "  --report      after the run, open the comparison page in the browser; it\n"
         "                sends the drive's model, serial number and sizes, the\n"
         "                system version and the rates\n"
         "  --report-file PATH  after the run, write the comparison page to PATH\n"
         "  --list        print the drives with what is known about them\n"
         "  --languages   print the languages; the current one is marked with *\n"
         "  --lang N      use language N from now on (alone: store it and end)\n"
         "  --export-translation  write the English texts for translators and print\n"
         "                the file's path\n"
         "  --load-translation FILE  use a translated text file for this run\n"
         "  --version     print the program's name and version\n"
         "  --help        this text\n\n"
         "Rates are in MB/s as the panel shows them: KiB per millisecond, which is\n"
         "1.024 MB/s in decimal units or 0.977 MiB/s. \"-\" marks a value the run did\n"
         "not measure.\n\n"
         "Ctrl+C stops after the current pass (its result counts); a second Ctrl+C\n"
         "ends that pass at once. The test file is removed either way.\n\n"
         "Exit codes: 0 done, 1 the benchmark reported an error, 2 bad options,\n"
         "130 stopped by Ctrl+C.\n";
}

}  // namespace korvanel::cli
