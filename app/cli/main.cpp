// korvanel-cli: the benchmark without a window. The main thread plays the panel's part: it starts
// the run, carries out what the worker posts, owns the pass timer and prints the results.

#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_app.h"
#include "app/cli/cli_options.h"
#include "common/display_text.h"
#include "lang/languages.h"
#include "platform/console.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
  using namespace korvanel;
  platform::PrepareOutput();
  const cli::ParseResult parsed = cli::ParseOptions(platform::CommandLineArguments(argc, argv));
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "korvanel-cli: %s\n%s\n", parsed.error.c_str(), cli::UsageLine().c_str());
    return 2;
  }
  // Only actions that store something create the settings file; a listing leaves no trace.
  FindSettingsFile();
  if (const SysError problem = SettingsFileProblem()) {
    std::fprintf(stderr, "korvanel-cli: settings file %s: %s (the defaults are used, nothing is stored)\n",
                 EscapeControlCharacters(SettingsPath()).c_str(), EscapeControlCharacters(problem.description).c_str());
  }
  if (!LoadLanguageTable()) std::fprintf(stderr, "korvanel-cli: the built-in language table is damaged\n");
  ChooseDefaultLanguage();
  return cli::RunCli(parsed.options);
}
