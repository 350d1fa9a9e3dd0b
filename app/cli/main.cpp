// korvanel-cli: the benchmark without a window. The main thread plays the panel's part: it starts
// the run, carries out what the worker posts, owns the pass timer and prints the results.

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_app.h"
#include "app/cli/cli_options.h"
#include "lang/languages.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
  using namespace korvanel;
  // A reader that goes away (`| head`) must not kill a run before its cleanup: writes to it fail
  // instead, and the run ends as usual.
  std::signal(SIGPIPE, SIG_IGN);
  const cli::ParseResult parsed = cli::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "korvanel-cli: %s\n%s\n", parsed.error.c_str(), cli::UsageLine().c_str());
    return 2;
  }
  // Only actions that store something create the settings file; a listing leaves no trace.
  FindSettingsFile();
  if (const SysError problem = SettingsFileProblem()) {
    std::fprintf(stderr, "korvanel-cli: settings file %s: %s (the defaults are used, nothing is stored)\n",
                 SettingsPath().c_str(), problem.description.c_str());
  }
  if (!LoadLanguageTable()) std::fprintf(stderr, "korvanel-cli: the built-in language table is damaged\n");
  ChooseDefaultLanguage();
  return cli::RunCli(parsed.options);
}
