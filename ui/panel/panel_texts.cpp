#include "ui/panel/panel_texts.h"

#include <algorithm>

#include "ui/panel/panel_ids.h"
#include "ui/panel/web_links.h"
#include "lang/languages.h"
#include "lang/text_ids.h"
#include "results/finish_time.h"

namespace korvanel::panel {
namespace {

// Languages whose test-button texts are too long for the large font; Bulgarian's Start too.
constexpr int kCompactButtonLanguages[] = {2, 4, 6, 7, 12, 15, 17};
constexpr int kCompactStartLanguage = 4;
constexpr int kPersian = 13;

bool UsesCompactButtons(int language) {
  return std::find(std::begin(kCompactButtonLanguages), std::end(kCompactButtonLanguages), language) !=
         std::end(kCompactButtonLanguages);
}

}  // namespace

std::string FilledIn(std::string text, const std::string& value) {
  const size_t mark = text.find("%s");
  if (mark != std::string::npos) text.replace(mark, 2, value);
  return text;
}

std::string PanelTitle(const platform::SystemVersion& os) {
  return GetSpecialText(kProgramNameText) + " - OS:" + std::to_string(os.major) + "." + std::to_string(os.minor) +
         "." + std::to_string(os.build);
}

PanelTexts BuildPanelTexts(const platform::SystemVersion& os) {
  const int language = CurrentLanguage();
  PanelTexts texts;
  texts.title = PanelTitle(os);
  texts.controls = {
      {kCommandSequential, GetText(kSequentialText)},
      {kCommandRandom4K, "4K"},
      {kCommandRandom512K, "512K"},
      {kCommandQueued4K, "64 X 4K"},
      {kCommandAccessTime, GetText(kAccessTimeText)},
      {kControlProgramName, GetSpecialText(kProgramNameText)},
      {kControlReadFrame, GetText(kReadText)},
      {kControlWriteFrame, GetText(kWriteText)},
      {kControlRatingFrame, GetText(kBenchmarkText)},
  };
  texts.start_caption = GetText(kStartText);
  texts.stop_caption = GetText(kStopText);
  for (int id = kQuickTestText; id <= kVeryLongTestText; ++id) texts.sizes.push_back(GetText(id));
  // The notice names the site's address where its "%s" stands.
  texts.footer = {MenuItem{kCommandNotice, FilledIn(GetSpecialText(kNoWarrantyText), SiteAddress()), ""},
                  MenuItem{kCommandLanguage, "# LNG", ""}};
  texts.donate = GetText(kDonateText);
  texts.test_button_font = UsesCompactButtons(language) ? ButtonFont::kCompact : ButtonFont::kLarge;
  texts.start_button_font = language == kCompactStartLanguage ? ButtonFont::kCompact : ButtonFont::kLarge;
  texts.right_to_left = language == kPersian;
  return texts;
}

std::vector<ControlText> AccessibleDescriptions() {
  return {
      {kSeqReadControl, "Sequential read"},    {kSeqWriteControl, "Sequential write"},
      {kRnd4ReadControl, "4K read"},           {kRnd4WriteControl, "4K write"},
      {kRnd512ReadControl, "512K read"},       {kRnd512WriteControl, "512K write"},
      {kQdReadControl, "64 X 4K read"},        {kQdWriteControl, "64 X 4K write"},
      {kAccessReadControl, "Read access time"}, {kAccessWriteControl, "Write access time"},
      {kReadRatingControl, "Read rating"},     {kWriteRatingControl, "Write rating"},
      {kTotalRatingControl, "Total rating"},   {kFinishTimeControl, "Date and time of the last run"},
      {kControlStatus, "Status"},              {kControlSummary, "Drive summary"},
      // What each test button measures.
      {kCommandStart, "Runs every test below one after the other"},
      {kCommandSequential, "1 MiB blocks read and written one after the other"},
      {kCommandRandom4K, "Random 4 KiB reads and writes, one request at a time"},
      {kCommandRandom512K, "Random 512 KiB reads and writes"},
      {kCommandQueued4K, "Random 4 KiB reads and writes with 64 requests in flight"},
      {kCommandAccessTime, "How long one random 4 KiB read and write takes"},
  };
}

std::vector<ControlText> AccessibleNames() {
  return {{kCommandDriveList, "Drive"}, {kCommandSizeList, "Test length"}, {kControlStatus, "Status"}};
}

}  // namespace korvanel::panel
