#include "app/panel/web_links.h"

#include "app/panel/panel_ids.h"
#include "lang/languages.h"

namespace korvanel::panel {
namespace {

constexpr int kGerman = 0;
constexpr const char* kProgramName = "Korvanel";

bool German() { return CurrentLanguage() == kGerman; }

}  // namespace

std::string SiteAddress() { return GetSpecialText(German() ? 21 : 20); }

std::optional<std::string> PageForCommand(int command) {
  const std::string program = kProgramName;
  switch (command) {
    case kCommandFaq:
      return SiteAddress() + "?seite=faq-" + program + "&faq=0";
    case kCommandHomepage:
      return SiteAddress() + "?Microsoft/" + program;
    case kCommandNotice:
      return GetSpecialText(German() ? 23 : 24);
    case kCommandEnter:
    case kCommandDonate:
      // The blanks stay as they are; the browser encodes them.
      return SiteAddress() + "?paypal&item_name=Freeware Quenlidart " + program + "&Program=" + program;
    default:
      return std::nullopt;
  }
}

}  // namespace korvanel::panel
