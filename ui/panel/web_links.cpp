#include "ui/panel/web_links.h"

#include "ui/panel/panel_ids.h"
#include "lang/languages.h"

namespace korvanel::panel {
namespace {

constexpr const char* kProgramName = "Korvanel";

}  // namespace

std::optional<std::string> PageForCommand(int command) {
  const std::string program = kProgramName;
  switch (command) {
    case kCommandFaq:
      return SiteAddress() + "?seite=faq-" + program + "&faq=0";
    case kCommandHomepage:
      return SiteAddress() + "?Microsoft/" + program;
    case kCommandNotice:
      return ThanksPageAddress();
    case kCommandEnter:
    case kCommandDonate:
      // The blanks stay as they are; the browser encodes them.
      return SiteAddress() + "?paypal&item_name=Freeware Quenlidart " + program + "&Program=" + program;
    default:
      return std::nullopt;
  }
}

}  // namespace korvanel::panel
