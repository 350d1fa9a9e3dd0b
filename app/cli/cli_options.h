#pragma once
// The command line of korvanel-cli. Scripts use these option names; keep them.

#include <optional>
#include <string>
#include <vector>

namespace korvanel::cli {

// What one invocation does. A benchmark runs unless an action option asks for something else, or
// --lang is the only option (it then only stores the language).
enum class CliAction { kRun, kHelp, kVersion, kList, kLanguages, kExportTranslation, kStoreLanguage };

struct CliOptions {
  CliAction action = CliAction::kRun;
  std::string drive = ".";               // --drive DIR (or a drive list index)
  std::optional<int> length;             // --length 0..3; default: the stored test length
  int test_id = 6;                       // --test all|seq|4k|512k|qd64|access
  bool json = false;                     // --json
  bool help = false;                     // --help
  bool version = false;                  // --version
  bool list = false;                     // --list: print the drive list and end
  bool languages = false;                // --languages: print the languages and end
  std::optional<int> lang;               // --lang N: use and store language N
  bool export_translation = false;       // --export-translation: write the file for translators and end
  std::string load_translation;          // --load-translation FILE: use a translator's file
  bool report = false;                   // --report: write the comparison page and open it
  std::string report_file;               // --report-file PATH: write the page there, open nothing
};

struct ParseResult {
  CliOptions options;
  std::string error;  // not empty: a usage error (exit code 2)
};

// Reads the arguments and decides the action; options that contradict each other or the action
// (--report with --report-file, --list with --drive) are usage errors.
ParseResult ParseOptions(const std::vector<std::string>& args);

// The test id for a --test name; nothing for an unknown name.
std::optional<int> TestIdForName(const std::string& name);
// The --test name of a test id ("all", "seq", ...); "unknown" for another id.
const char* TestNameForId(int test_id);

std::string UsageLine();
std::string HelpText();

}  // namespace korvanel::cli
