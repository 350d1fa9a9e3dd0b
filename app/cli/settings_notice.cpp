#include "app/cli/settings_notice.h"

#include <cstdio>

#include "common/display_text.h"
#include "settings/settings.h"

namespace korvanel::cli {

void ReportRefusedSettingsWrite() {
  static bool reported = false;
  const SysError refused = SettingsWriteProblem();
  if (!refused || reported || SettingsFileProblem()) return;
  reported = true;
  std::fprintf(stderr, "korvanel-cli: settings file %s: %s (the change is not stored)\n",
               EscapeControlCharacters(SettingsPath()).c_str(), EscapeControlCharacters(refused.description).c_str());
}

}  // namespace korvanel::cli
