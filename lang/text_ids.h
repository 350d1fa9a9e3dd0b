#pragma once
// The numbers of the texts the front ends show, as the language table numbers them: GetText takes a
// TextId, GetSpecialText a SpecialTextId. The drive list names its own texts (drives/drive_texts.h).

namespace korvanel {

enum TextId {
  kDonateText = 4,
  // The engine's ten texts follow one another from here, in the order engine/engine_texts.h numbers them.
  kInitializeText = 5,
  kSequentialReadText = 6,
  kStartText = 15,       // the Start button's caption
  kStopText = 16,        // its caption while a run goes on
  kAccessTimeText = 17,  // the row of access times
  kSequentialText = 18,  // the row of sequential rates
  kReadText = 21,        // the column of read results
  kWriteText = 22,
  kBenchmarkText = 23,  // the ratings
  // The four test lengths, in the order the length list shows them.
  kQuickTestText = 30,
  kShortTestText = 31,
  kLongTestText = 32,
  kVeryLongTestText = 33,
  kHideVolumeLabelText = 41,
  kExitText = 46,
  kSystemText = 50,  // the system menu's title, and its item that opens the system's settings
  kTaskManagerText = 51,
  kSystemInformationText = 52,
  kOptimizeDriveText = 53,
  kComputerManagementText = 54,
  kDiskManagementText = 55,
  kFaqText = 74,
  kCompareText = 75,  // holds "%s" where the site's name goes
  kHomepageText = 76,
  kScreenshotToFileText = 77,
  kScreenshotToPaintText = 78,
  kTestNotCompletedText = 79,
  kOnlyCompleteTestsText = 80,
  kInfoText = 93,
  // What each of the five rows measures, in the order the panel shows the rows.
  kSequentialInfoText = 101,
  kAccessTimeInfoText = 105,
};

enum SpecialTextId {
  kProgramNameText = 19,  // the name and version
  kEnglishSiteText = 20,
  kGermanSiteText = 21,
  kNoWarrantyText = 22,  // holds "%s" where the site's address goes
  kGermanThanksPageText = 23,
  kEnglishThanksPageText = 24,
  kTranslatorRequestText = 25,
};

}  // namespace korvanel
