// The panel's logic with a fake view: no window, the engine on a fake disk (engine/tests), and a
// scripted drive system with two disks, since only fakes can be driven step by step like this.
// The pass windows are the panel's own timers, fired by the test as soon as it pumps the view.
#include "ui/panel/panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <thread>

#include "ui/panel/panel_ids.h"
#include "ui/tests/fake_panel_view.h"
#include "ui/tests/two_drives.h"
#include "common/path_text.h"
#include "korvanel_version.h"
#include "common/testing/scratch.h"
#include "engine/tests/fake_system.h"
#include "export/base64.h"
#include "platform/paths.h"
#include "lang/language_image.h"
#include "lang/languages.h"
#include "lang/lzari.h"
#include "common/text_encoding.h"
#include "results/finish_time.h"
#include "results/locale_date_time.h"
#include "settings/settings.h"
#include "settings/whole_file.h"

namespace korvanel::panel {
namespace {

using korvanel::testing::FakeSystem;
using korvanel::testing::ReadWholeFile;
using korvanel::testing::ScopedEnv;
using korvanel::testing::ScratchDir;
using testing::FakePanelView;
using testing::RecordingDesktop;
using testing::TwoDrives;

constexpr int kEnglish = 1;
constexpr int kGerman = 0;

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSettingsPath(scratch_ / "Korvanel.ini");
    ASSERT_TRUE(LoadLanguageTable());
    ASSERT_TRUE(SelectLanguage(kEnglish));
    view_.pass_timer_id = kTimerPassWindow;
    view_.fire = [this](int id) { panel_.OnTimer(id); };
    // Each fake request takes a fake millisecond: a window lasts twenty of them.
    view_.pass_window_opened = [this] { return sys_.TickMs(); };
    view_.pass_window_due = [this](uint32_t opened) { return sys_.TickMs() - opened >= 20; };
  }

  // Keeps the current pass's window open until ReleasePass(), so a run can be caught mid-way.
  void HoldPass() { view_.hold_pass_windows = true; }
  void ReleasePass() {
    view_.hold_pass_windows = false;
    if (view_.TakeTimer(kTimerPassWindow)) panel_.OnTimer(kTimerPassWindow);
  }
  void TearDown() override { SetSettingsPath(""); }

  // Opens the panel and lets the first drive refresh run to its end.
  void OpenAndListDrives() {
    panel_.Open();
    ASSERT_TRUE(view_.TakeTimer(kTimerDriveRefresh));
    panel_.OnTimer(kTimerDriveRefresh);
    ASSERT_TRUE(view_.PumpUntil([&] { return panel_.State() == PanelState::kIdle; }));
  }

  // Starts `command` and pumps until the run has ended.
  void RunToEnd(int command) {
    panel_.OnCommand(command);
    ASSERT_EQ(panel_.State(), PanelState::kRunning);
    PumpUntilRunGone();
  }

  // Pumps until the worker has ended and everything it handed over has been shown.
  void PumpUntilRunGone() {
    ASSERT_TRUE(view_.PumpUntil([&] { return !panel_.Engine().run_exists(); }));
    view_.RunPending();
  }

  bool Enabled(int control) { return view_.enabled[control]; }

  // The test directory of the run that holds its first pass, as the fake disk recorded it.
  std::string TestDirectoryMade() {
    EXPECT_TRUE(view_.PumpUntil([&] { return view_.timers.count(kTimerPassWindow) != 0; }));
    for (const std::string& path : sys_.Directories()) return path;
    return "";
  }

  // The result query the comparison page carries, decoded the way the site decodes it.
  static std::string ReportQuery(const std::string& page) {
    const std::string field = "name='korvaneldata' value=\"";
    const size_t start = page.find(field) + field.size();
    CBase64 coder;
    if (!coder.DecodeText(page.substr(start, page.find('"', start) - start).c_str())) return "";
    std::string reversed(reinterpret_cast<const char*>(coder.DecodedData()), coder.DecodedLength());
    std::reverse(reversed.begin(), reversed.end());
    if (!coder.DecodeText(reversed.c_str())) return "";
    return std::string(reinterpret_cast<const char*>(coder.DecodedData()), coder.DecodedLength());
  }

  // Where the private directory holds `name`: beside a probe written there, since the directory is
  // reached only by writing into it.
  static std::string PrivatePath(const std::string& name) {
    const platform::PrivateFile probe = platform::WritePrivateTempFile("probe.txt", {});
    return JoinPath(Utf8FromPath(PathFromUtf8(probe.path).parent_path()), name);
  }

  ScratchDir scratch_;
  ScopedEnv runtime_{"XDG_RUNTIME_DIR", scratch_.path().c_str()};
  FakeSystem sys_;
  FakePanelView view_;
  RecordingDesktop desktop_;
  TwoDrives drives_;
  Panel panel_{{view_, view_, desktop_, drives_, sys_, sys_, {6, 1, 0, {}}}};
};

TEST_F(PanelTest, ControlsFollowTheStatesFromOpeningToARunAndBack) {
  panel_.Open();
  EXPECT_EQ(panel_.State(), PanelState::kOpening);
  EXPECT_FALSE(Enabled(kCommandStart));
  EXPECT_EQ(view_.timers[kTimerDriveRefresh], 200);

  ASSERT_TRUE(view_.TakeTimer(kTimerDriveRefresh));
  panel_.OnTimer(kTimerDriveRefresh);
  EXPECT_EQ(panel_.State(), PanelState::kRefreshingDrives);
  EXPECT_EQ(view_.texts[kControlSummary], "... Initialize");
  EXPECT_FALSE(Enabled(kCommandSequential));
  EXPECT_FALSE(Enabled(kCommandDriveList));

  ASSERT_TRUE(view_.PumpUntil([&] { return panel_.State() == PanelState::kIdle; }));
  ASSERT_EQ(view_.drives.size(), 3u);
  EXPECT_EQ(view_.drives[0].text, "/data Disk A");
  EXPECT_EQ(view_.drives[1].kind, DriveKind::kRemovable);
  EXPECT_EQ(view_.drives[2].text, "Choose folder...");
  EXPECT_EQ(view_.drive_selection, 0);
  EXPECT_NE(view_.texts[kControlSummary].find("Disk A [500G]"), std::string::npos);
  for (int control : {kCommandStart, kCommandSequential, kCommandAccessTime, kCommandDriveList, kCommandSizeList}) {
    EXPECT_TRUE(Enabled(control)) << control;
  }
  EXPECT_EQ(view_.texts[kCommandStart], "Start ");

  // A run: only Stop is left to press.
  HoldPass();
  panel_.OnCommand(kCommandSequential);
  EXPECT_EQ(panel_.State(), PanelState::kRunning);
  EXPECT_TRUE(Enabled(kCommandStart));
  EXPECT_EQ(view_.texts[kCommandStart], "Stop ");
  for (int control : {kCommandSequential, kCommandRandom4K, kCommandDriveList, kCommandSizeList}) {
    EXPECT_FALSE(Enabled(control)) << control;
  }

  panel_.OnCommand(kCommandStart);
  EXPECT_EQ(panel_.State(), PanelState::kStopping);
  EXPECT_FALSE(Enabled(kCommandStart));
  EXPECT_EQ(view_.texts[kCommandStart], "Stop ");
  ReleasePass();
  ASSERT_TRUE(view_.PumpUntil([&] { return panel_.State() == PanelState::kIdle; }));
  EXPECT_TRUE(Enabled(kCommandSequential));
  EXPECT_EQ(view_.texts[kCommandStart], "Start ");
  EXPECT_TRUE(sys_.Files().empty());
  EXPECT_TRUE(sys_.Directories().empty());
}

TEST_F(PanelTest, ARunShowsItsValuesStatusAndFinishTime) {
  OpenAndListDrives();
  view_.texts[kFinishTimeControl] = "";
  RunToEnd(kCommandStart);
  EXPECT_EQ(panel_.Engine().test_id(), kCommandStart);
  EXPECT_NE(view_.texts[kSeqReadControl].find("MB/s"), std::string::npos);
  EXPECT_NE(view_.texts[kQdWriteControl].find("MB/s"), std::string::npos);
  EXPECT_NE(view_.texts[kAccessReadControl].find("ms."), std::string::npos);
  EXPECT_NE(view_.texts[kTotalRatingControl], "000");
  // The status line ends empty and the run's time is stamped.
  EXPECT_EQ(view_.texts[kControlStatus], "");
  EXPECT_FALSE(view_.texts[kFinishTimeControl].empty());
  EXPECT_TRUE(sys_.Files().empty());
}

TEST_F(PanelTest, EscapeEndsAtOnceWhenIdleAndWithTheStopCodeAfterStoppingARun) {
  OpenAndListDrives();
  panel_.OnCommand(kCommandCancel);
  EXPECT_EQ(view_.quit_code, kExitNormal);
  EXPECT_EQ(panel_.State(), PanelState::kEnded);
}

TEST_F(PanelTest, EscapeDuringARunStopsItWaitsAndEndsWith4660) {
  OpenAndListDrives();
  HoldPass();
  panel_.OnCommand(kCommandStart);
  panel_.OnCommand(kCommandCancel);
  EXPECT_EQ(panel_.State(), PanelState::kStopping);
  EXPECT_FALSE(view_.quit_code);
  // The wait ticks in 20 ms steps; the run still holds its pass.
  ASSERT_TRUE(view_.TakeTimer(kTimerCancelWait));
  panel_.OnTimer(kTimerCancelWait);
  EXPECT_FALSE(view_.quit_code);
  EXPECT_EQ(view_.timers[kTimerCancelWait], 20);

  ReleasePass();
  ASSERT_TRUE(view_.PumpUntil([&] { return !panel_.Engine().run_exists(); }));
  ASSERT_TRUE(view_.TakeTimer(kTimerCancelWait));
  panel_.OnTimer(kTimerCancelWait);
  EXPECT_EQ(view_.quit_code, kExitAfterStoppedRun);
  EXPECT_TRUE(sys_.Files().empty());
  EXPECT_TRUE(sys_.Directories().empty());
}

TEST_F(PanelTest, ARunThatOutlastsTheHundredStepsLeavesThePanelOpenAndStopping) {
  OpenAndListDrives();
  HoldPass();
  panel_.OnCommand(kCommandStart);
  panel_.OnCommand(kCommandCancel);
  int steps = 0;
  while (view_.TakeTimer(kTimerCancelWait)) {
    panel_.OnTimer(kTimerCancelWait);
    ++steps;
  }
  EXPECT_EQ(steps, kCancelWaitSteps);
  EXPECT_FALSE(view_.quit_code);
  EXPECT_EQ(panel_.State(), PanelState::kStopping);

  // The stop request stays: the run ends by itself and the panel is usable again.
  ReleasePass();
  PumpUntilRunGone();
  EXPECT_EQ(panel_.State(), PanelState::kIdle);
  EXPECT_FALSE(view_.quit_code);
  EXPECT_TRUE(sys_.Files().empty());
  panel_.OnCommand(kCommandCancel);
  EXPECT_EQ(view_.quit_code, kExitNormal);
}

TEST_F(PanelTest, ExitDuringARunWaitsForTheCleanupAndEndsNormally) {
  OpenAndListDrives();
  HoldPass();
  panel_.OnCommand(kCommandStart);
  panel_.OnCommand(kCommandExit);
  // Past the hundred steps of Escape: Exit does not give up.
  for (int step = 0; step < kCancelWaitSteps + 5; ++step) {
    ASSERT_TRUE(view_.TakeTimer(kTimerCancelWait));
    panel_.OnTimer(kTimerCancelWait);
  }
  EXPECT_FALSE(view_.quit_code);
  ReleasePass();
  ASSERT_TRUE(view_.PumpUntil([&] { return !panel_.Engine().run_exists(); }));
  ASSERT_TRUE(view_.TakeTimer(kTimerCancelWait));
  panel_.OnTimer(kTimerCancelWait);
  EXPECT_EQ(view_.quit_code, kExitNormal);
  EXPECT_TRUE(sys_.Files().empty());
}

// A drive refresh stuck on a drive that does not answer (a network mount whose server is gone) must
// not keep the panel from closing: Escape, a signal and Exit end it after the bounded wait.
TEST_F(PanelTest, AStuckDriveRefreshDoesNotKeepThePanelFromClosing) {
  for (int command : {kCommandCancel, kCommandExit}) {
    SCOPED_TRACE(command);
    std::promise<void> answer;
    drives_.data_answers = answer.get_future().share();
    FakePanelView view;
    view.pass_timer_id = kTimerPassWindow;
    Panel panel{{view, view, desktop_, drives_, sys_, sys_, {}}};
    panel.Open();
    ASSERT_TRUE(view.TakeTimer(kTimerDriveRefresh));
    panel.OnTimer(kTimerDriveRefresh);
    EXPECT_EQ(panel.State(), PanelState::kRefreshingDrives);
    panel.OnCommand(command);
    int steps = 0;
    while (!view.quit_code && view.TakeTimer(kTimerCancelWait)) {
      panel.OnTimer(kTimerCancelWait);
      ASSERT_LE(++steps, kCancelWaitSteps);
    }
    EXPECT_EQ(view.quit_code, kExitNormal);
    // The drive answers in the end, and the refresh thread with it.
    answer.set_value();
  }
  drives_.data_answers = {};
}

TEST_F(PanelTest, SetUpAnyNumberOfTimesLeavesOneOfEachAndKeepsTheSize) {
  OpenAndListDrives();
  view_.SelectSize(3);
  for (int i = 0; i < 3; ++i) panel_.SetUp();
  EXPECT_EQ(view_.strip, (std::vector<std::pair<std::string, int>>{{"Donate", kCommandDonate}}));
  EXPECT_EQ(view_.sizes.size(), 4u);
  EXPECT_EQ(view_.size_selection, 3);
  EXPECT_EQ(view_.footer.size(), 2u);
  EXPECT_EQ(view_.footer[1].text, "# LNG");
  EXPECT_EQ(view_.footer[0].text, "Freeware: use at your own risk, no warranty # https://korvanel.example/");
  EXPECT_EQ(view_.title, "Korvanel " KORVANEL_VERSION " - OS:6.1.0");
}

TEST_F(PanelTest, ASizeListWithoutSelectionStoresMinusOneAndTheNextSetUpChoosesShort) {
  OpenAndListDrives();
  view_.size_selection = -1;
  panel_.OnCommand(kCommandSizeList);
  EXPECT_EQ(ReadSettingInt("test_time_id", 99), -1);
  panel_.SetUp();
  EXPECT_EQ(view_.size_selection, 1);

  view_.SelectSize(2);
  panel_.OnCommand(kCommandSizeList);
  EXPECT_EQ(ReadSettingInt("test_time_id", 99), 2);
}

TEST_F(PanelTest, TheStoredLengthIsSelectedAtOpeningAndAnImpossibleOneGivesShort) {
  WriteSettingInt("test_time_id", 3);
  panel_.Open();
  EXPECT_EQ(view_.size_selection, 3);

  FakePanelView other_view;
  WriteSettingInt("test_time_id", 7);
  Panel other{{other_view, other_view, desktop_, drives_, sys_, sys_, {}}};
  other.Open();
  EXPECT_EQ(other_view.size_selection, 1);
}

TEST_F(PanelTest, ASettingsFileThatCannotBeReadIsReportedOnceThePanelIsUp) {
  const std::string directory = scratch_ / "not-a-file.ini";
  std::filesystem::create_directory(directory);
  SetSettingsPath(directory);
  panel_.Open();
  EXPECT_TRUE(view_.errors.empty());
  view_.RunPending();
  ASSERT_EQ(view_.errors.size(), 1u);
  EXPECT_EQ(view_.errors[0].rfind("Settings file " + directory + ":\n", 0), 0u) << view_.errors[0];
}

// A settings file at the reader's size limit takes no further key: the change holds for this
// session, and the user learns once that it will not be there next time.
TEST_F(PanelTest, AChangeTheSettingsFileCannotTakeIsToldOnce) {
  {
    std::ofstream file(scratch_ / "Korvanel.ini", std::ios::binary);
    file << "[Program]\n; " << std::string(kMaxSettingsFileBytes - 20, 'x') << "\n";
  }
  OpenAndListDrives();
  ASSERT_TRUE(view_.errors.empty());
  view_.size_selection = 2;
  panel_.OnCommand(kCommandSizeList);
  ASSERT_EQ(view_.errors.size(), 1u);
  EXPECT_EQ(view_.errors[0].rfind("Settings file " + SettingsPath() + ":\n", 0), 0u) << view_.errors[0];
  EXPECT_NE(view_.errors[0].find("not stored"), std::string::npos) << view_.errors[0];
  view_.size_selection = 3;
  panel_.OnCommand(kCommandSizeList);
  panel_.OnCommand(kCommandToggleVolumeLabel);
  EXPECT_EQ(view_.errors.size(), 1u);
}

// Where another user (or anything else) holds the private directory's usual name, the exported file
// goes to a directory of its own, and the status line says where.
TEST_F(PanelTest, AnExportThatWentElsewhereSaysWhere) {
  ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
  const std::string temporary = scratch_ / "tmp";
  std::filesystem::create_directory(temporary);
  ScopedEnv tmp("TMPDIR", temporary.c_str());
  OpenAndListDrives();
  view_.language_choice = kCommandTranslate;
  panel_.OnCommand(kCommandLanguage);
  ASSERT_EQ(desktop_.files.size(), 1u);
  const std::filesystem::path usual = std::filesystem::path(desktop_.files[0]).parent_path();
  if (usual.parent_path() != temporary) GTEST_SKIP() << "the private directory here does not follow TMPDIR";
  EXPECT_EQ(view_.texts[kControlStatus], "");
  std::filesystem::remove_all(usual);
  std::ofstream(usual.string()) << "taken";
  panel_.OnCommand(kCommandLanguage);
  ASSERT_EQ(desktop_.files.size(), 2u);
  EXPECT_NE(std::filesystem::path(desktop_.files[1]).parent_path(), usual);
  EXPECT_NE(view_.texts[kControlStatus].find(std::filesystem::path(desktop_.files[1]).parent_path().string()),
            std::string::npos)
      << view_.texts[kControlStatus];
}

TEST_F(PanelTest, TheSameDriveKeepsTheResultsAndAnotherResetsThem) {
  OpenAndListDrives();
  RunToEnd(kCommandSequential);
  const std::string measured = view_.texts[kSeqReadControl];
  ASSERT_NE(panel_.Engine().results().SR, 0);

  panel_.OnCommand(kCommandDriveList);  // the list was opened and closed on the same drive
  EXPECT_NE(panel_.Engine().results().SR, 0);
  EXPECT_EQ(view_.texts[kSeqReadControl], measured);

  view_.SelectDrive(1);
  panel_.OnCommand(kCommandDriveList);
  EXPECT_EQ(panel_.Engine().results().SR, 0);
  EXPECT_EQ(view_.texts[kSeqReadControl], "0.00 MB");
  EXPECT_NE(view_.texts[kControlSummary].find("Stick B"), std::string::npos);
}

// "Hide the volume label, then take a screenshot" must show the results: a refresh of the drive
// list keeps them as long as the same drive stays chosen.
TEST_F(PanelTest, ARefreshOnTheSameDriveKeepsTheShownResults) {
  OpenAndListDrives();
  RunToEnd(kCommandStart);
  const std::string measured = view_.texts[kSeqReadControl];
  const std::string total = view_.texts[kTotalRatingControl];
  ASSERT_NE(measured.find("MB/s"), std::string::npos);
  panel_.OnCommand(kCommandToggleVolumeLabel);
  ASSERT_TRUE(view_.PumpUntil([&] { return panel_.State() == PanelState::kIdle; }));
  EXPECT_EQ(view_.texts[kSeqReadControl], measured);
  EXPECT_EQ(view_.texts[kTotalRatingControl], total);
  EXPECT_NE(panel_.Engine().results().SR, 0);
  panel_.OnCommand(kCommandCompare);  // still a complete run to compare
  EXPECT_EQ(desktop_.files.size(), 1u);

  // A refresh asked for during a run comes after it, and keeps that run's values too.
  HoldPass();
  panel_.OnCommand(kCommandSequential);
  panel_.OnCommand(kCommandToggleVolumeLabel);
  ReleasePass();
  ASSERT_TRUE(view_.PumpUntil([&] { return panel_.State() == PanelState::kRefreshingDrives; }));
  ASSERT_TRUE(view_.PumpUntil([&] { return panel_.State() == PanelState::kIdle; }));
  EXPECT_NE(view_.texts[kSeqReadControl].find("MB/s"), std::string::npos) << view_.texts[kSeqReadControl];
  EXPECT_NE(panel_.Engine().results().SR, 0);
}

TEST_F(PanelTest, ARefreshKeepsTheChosenDriveAndWaitsForARunningBenchmark) {
  OpenAndListDrives();
  view_.SelectDrive(1);
  panel_.OnCommand(kCommandDriveList);

  HoldPass();
  panel_.OnCommand(kCommandSequential);
  panel_.OnCommand(kCommandToggleVolumeLabel);
  EXPECT_EQ(ReadSettingInt("no_vol_label", 0), 1);
  // The refresh would reset the results being measured: it waits for the end of the run.
  EXPECT_EQ(panel_.State(), PanelState::kRunning);
  ReleasePass();
  ASSERT_TRUE(view_.PumpUntil([&] { return panel_.State() == PanelState::kRefreshingDrives; }));
  ASSERT_TRUE(view_.PumpUntil([&] { return panel_.State() == PanelState::kIdle; }));
  EXPECT_EQ(view_.drive_selection, 1);
  // Without the label the partition line ends with the file system.
  EXPECT_NE(view_.texts[kControlSummary].find(") ext4\n"), std::string::npos) << view_.texts[kControlSummary];

  panel_.OnMenuAboutToShow();
  EXPECT_TRUE(view_.checked[kCommandToggleVolumeLabel]);
}

TEST_F(PanelTest, TheMenuHoldsTheCommandsAndOnlyTheToolsThatAreInstalled) {
  desktop_.installed = {platform::SystemTool::kDiskManagement};
  OpenAndListDrives();
  ASSERT_EQ(view_.menu.size(), 2u);
  EXPECT_EQ(view_.menu[0].title, "&Korvanel");
  EXPECT_EQ(view_.menu[1].title, "&System");
  const std::vector<int> expected = {kCommandScreenshotToFile, kCommandScreenshotToPaint, kCommandFaq,
                                     kCommandCompare, kCommandHomepage, kCommandToggleVolumeLabel,
                                     kCommandInfo, kCommandExit, kCommandDiskManagement, kCommandSettingsFile};
  EXPECT_EQ(MenuCommands(view_.menu), expected);
  // No separator is left at an end or beside another.
  const std::vector<MenuItem>& system = view_.menu[1].items;
  ASSERT_EQ(system.size(), 3u);
  EXPECT_TRUE(system[1].separator());
  EXPECT_EQ(view_.menu[0].items[9].text, "Info");
  EXPECT_TRUE(view_.menu[0].items[7].checkable);

  panel_.OnCommand(kCommandDiskManagement);
  ASSERT_EQ(desktop_.started.size(), 1u);
  EXPECT_EQ(desktop_.started[0].first, platform::SystemTool::kDiskManagement);
  panel_.OnCommand(kCommandSettingsFile);
  EXPECT_EQ(desktop_.files, std::vector<std::string>{SettingsPath()});
}

TEST_F(PanelTest, PagesUseTheGermanSiteOnlyForGerman) {
  OpenAndListDrives();
  for (int command : {kCommandFaq, kCommandHomepage, kCommandNotice, kCommandDonate, kCommandEnter}) {
    panel_.OnCommand(command);
  }
  const std::string donate =
      "https://korvanel.example/?paypal&item_name=Freeware Quenlidart Korvanel&Program=Korvanel";
  EXPECT_EQ(desktop_.pages, (std::vector<std::string>{"https://korvanel.example/?seite=faq-Korvanel&faq=0",
                                                      "https://korvanel.example/?Microsoft/Korvanel",
                                                      "https://korvanel.example/?Microsoft/Korvanel/Thanks",
                                                      donate, donate}));
  ASSERT_TRUE(SelectLanguage(kGerman));
  desktop_.pages.clear();
  panel_.OnCommand(kCommandHomepage);
  panel_.OnCommand(kCommandNotice);
  EXPECT_EQ(desktop_.pages, (std::vector<std::string>{"https://korvanel.example/de/?Microsoft/Korvanel",
                                                      "https://korvanel.example/de/?Microsoft/Korvanel/Danke"}));
}

TEST_F(PanelTest, ALanguageChosenInTheMenuIsShownEverywhereAndStored) {
  OpenAndListDrives();
  view_.SelectSize(2);
  view_.language_choice = kLanguageCommandBase + kGerman;
  panel_.OnCommand(kCommandLanguage);
  // The menu offered every language with the current one checked and disabled.
  const std::vector<MenuItem>& offered = view_.language_menus.at(0);
  ASSERT_GE(offered.size(), 21u + 3u);
  EXPECT_TRUE(offered[kEnglish].checked);
  EXPECT_FALSE(offered[kEnglish].enabled);
  EXPECT_EQ(offered.back().text, "Load from File (Unicode)");

  EXPECT_EQ(CurrentLanguage(), kGerman);
  EXPECT_EQ(ReadSettingInt("lng", -1), kGerman);
  EXPECT_EQ(view_.texts[kControlReadFrame], "Lesen");
  EXPECT_EQ(view_.strip.size(), 1u);
  EXPECT_EQ(view_.sizes.size(), 4u);
  EXPECT_EQ(view_.size_selection, 2);
  EXPECT_EQ(view_.menu[1].title, "&System");
  EXPECT_EQ(view_.footer[0].text.substr(view_.footer[0].text.size() - 28), "https://korvanel.example/de/");

  // Languages with long button texts get the compact font; Persian reads right to left.
  view_.language_choice = kLanguageCommandBase + 4;
  panel_.OnCommand(kCommandLanguage);
  EXPECT_EQ(view_.test_font, ButtonFont::kCompact);
  EXPECT_EQ(view_.start_font, ButtonFont::kCompact);
  EXPECT_FALSE(view_.right_to_left);
  view_.language_choice = kLanguageCommandBase + 13;
  panel_.OnCommand(kCommandLanguage);
  EXPECT_TRUE(view_.right_to_left);
  EXPECT_EQ(view_.test_font, ButtonFont::kLarge);
}

TEST_F(PanelTest, TranslationFilesAreWrittenOpenedAndLoaded) {
  OpenAndListDrives();
  view_.language_choice = kCommandTranslate;
  panel_.OnCommand(kCommandLanguage);
  ASSERT_EQ(desktop_.files.size(), 1u);
  const std::string exported = desktop_.files[0];
  EXPECT_EQ(std::filesystem::path(exported).filename(), "translate_Korvanel_" KORVANEL_VERSION ".txt");
  EXPECT_EQ(ReadWholeFile(exported).substr(0, 6), std::string("\xFF\xFE\x0D\x00\x0A\x00", 6));

  view_.language_choice = kCommandLoadTranslation;
  view_.open_answer = exported;
  panel_.OnCommand(kCommandLanguage);
  ASSERT_EQ(view_.informations.size(), 1u);
  EXPECT_EQ(view_.informations[0], "Translate|100 %");
  EXPECT_TRUE(TranslationInUse());

  view_.open_answer = scratch_ / "missing.txt";
  panel_.OnCommand(kCommandLanguage);
  ASSERT_EQ(view_.errors.size(), 1u);
  EXPECT_NE(view_.errors[0].find("missing.txt"), std::string::npos);
}

TEST_F(PanelTest, TheComparisonPageNeedsACompleteRun) {
  OpenAndListDrives();
  panel_.OnCommand(kCommandCompare);
  ASSERT_EQ(view_.informations.size(), 1u);
  EXPECT_NE(view_.informations[0].find("The test was not completed!"), std::string::npos);
  EXPECT_TRUE(desktop_.files.empty());

  RunToEnd(kCommandSequential);
  panel_.OnCommand(kCommandCompare);
  ASSERT_EQ(desktop_.files.size(), 1u);
  EXPECT_EQ(desktop_.files[0], PrivatePath("korvanel_tmp.html"));

  // A run that failed has nothing to compare; its box says what failed where.
  sys_.create_file_error = EACCES;
  RunToEnd(kCommandSequential);
  ASSERT_EQ(view_.errors.size(), 1u);
  EXPECT_EQ(view_.errors[0].rfind("File Create Error\r\n0x", 0), 0u) << view_.errors[0];
  EXPECT_NE(view_.errors[0].find("\n\n(creating the test file /data/Korvanel"), std::string::npos) << view_.errors[0];
  panel_.OnCommand(kCommandCompare);
  EXPECT_EQ(desktop_.files.size(), 1u);
  EXPECT_EQ(view_.informations.size(), 2u);
}

TEST_F(PanelTest, ScreenshotsGetTheProposedNameThePngRuleAndTheTemporaryFile) {
  OpenAndListDrives();
  view_.save_answer = scratch_ / "result.txt";
  panel_.OnCommand(kCommandScreenshotToFile);
  ASSERT_TRUE(view_.TakeTimer(kTimerScreenshotToFile));
  panel_.OnTimer(kTimerScreenshotToFile);
  ASSERT_EQ(view_.proposed_names.size(), 1u);
  EXPECT_EQ(view_.proposed_names[0].rfind("Korvanel Disk A 20", 0), 0u) << view_.proposed_names[0];
  EXPECT_EQ(ReadWholeFile(scratch_ / "result.txt.png"), view_.png);
  EXPECT_TRUE(view_.errors.empty());

  // Cancelled: the picture still goes to the temporary file, without a word.
  view_.save_answer.reset();
  panel_.OnTimer(kTimerScreenshotToFile);
  const std::string temporary = PrivatePath("Korvanel_tmp.png");
  EXPECT_EQ(ReadWholeFile(temporary), view_.png);
  EXPECT_TRUE(desktop_.files.empty());

  // To paint: the paint program when there is one, else the image viewer.
  panel_.OnCommand(kCommandScreenshotToPaint);
  EXPECT_EQ(view_.timers[kTimerScreenshotToPaint], 500);
  panel_.OnTimer(kTimerScreenshotToPaint);
  EXPECT_EQ(desktop_.files, std::vector<std::string>{temporary});
  desktop_.installed = {platform::SystemTool::kPictureEditor};
  panel_.OnTimer(kTimerScreenshotToPaint);
  ASSERT_EQ(desktop_.started.size(), 1u);
  EXPECT_EQ(desktop_.started[0].second, temporary);

  // A save that fails is reported with its path.
  view_.save_answer = scratch_.path() + "/no such dir/x.png";
  panel_.OnTimer(kTimerScreenshotToFile);
  ASSERT_EQ(view_.errors.size(), 1u);
  EXPECT_NE(view_.errors[0].find("no such dir/x.png"), std::string::npos);
}

TEST_F(PanelTest, CopyGivesTheResultsAsText) {
  OpenAndListDrives();
  RunToEnd(kCommandStart);
  panel_.OnCommand(kCommandCopyResults);
  const std::string& text = view_.clipboard;
  EXPECT_EQ(text.rfind("Korvanel " KORVANEL_VERSION " - OS:6.1.0\n/data\nDisk A [500G]\n", 0), 0u) << text;
  EXPECT_NE(text.find("Short Test (~ 30 sec)"), std::string::npos);
  EXPECT_NE(text.find("Sequential: Read " + std::string(view_.texts[kSeqReadControl]).substr(0, 4)),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("64 X 4K: Read "), std::string::npos);
  EXPECT_NE(text.find("Benchmark: Read "), std::string::npos);
}

TEST_F(PanelTest, EachDriveGetsAPlaceTheUserCanWriteAndOneWithoutIsGreyedWithItsReason) {
  // /data belongs to root, the home on it is the user's; the stick is not the user's at all.
  drives_.unwritable = {"/data", "/media/stick"};
  OpenAndListDrives();
  ASSERT_EQ(view_.drives.size(), 3u);
  EXPECT_TRUE(view_.drives[0].enabled);
  EXPECT_EQ(view_.drives[0].tooltip, "Test folder: /data/home/anna");
  EXPECT_FALSE(view_.drives[1].enabled);
  EXPECT_EQ(view_.drives[1].tooltip,
            "/media/stick: Permission denied; there is no folder on this drive you can write in");
  EXPECT_TRUE(view_.drives[2].enabled);
  EXPECT_TRUE(view_.drives[2].folder);

  // Start on /data measures in the home; the comparison page still names only the mount point.
  HoldPass();
  panel_.OnCommand(kCommandStart);
  EXPECT_EQ(TestDirectoryMade().rfind("/data/home/anna/Korvanel", 0), 0u) << TestDirectoryMade();
  ReleasePass();
  PumpUntilRunGone();
  panel_.OnCommand(kCommandCompare);
  ASSERT_EQ(desktop_.files.size(), 1u);
  const std::string query = ReportQuery(ReadWholeFile(desktop_.files[0]));
  EXPECT_EQ(query.rfind("Vol=/data&Bytes=", 0), 0u) << query;
  EXPECT_EQ(query.find("anna"), std::string::npos) << query;

  // The stick cannot be started: said in the status line before Start is pressed.
  view_.SelectDrive(1);
  panel_.OnCommand(kCommandDriveList);
  EXPECT_FALSE(Enabled(kCommandStart));
  EXPECT_FALSE(Enabled(kCommandSequential));
  EXPECT_EQ(view_.texts[kControlStatus], view_.drives[1].tooltip);
  panel_.OnCommand(kCommandStart);
  EXPECT_EQ(panel_.State(), PanelState::kIdle);
}

TEST_F(PanelTest, WithoutTheRootAndTheHomeTheSharedTemporaryDirectoryOfTheDriveTakesTheTest) {
  drives_.unwritable = {"/data", "/data/home/anna"};
  OpenAndListDrives();
  EXPECT_EQ(view_.drives[0].tooltip, "Test folder: /data/tmp");
  // The first drive the user can write is chosen at the start.
  drives_.unwritable.insert("/data/tmp");
  panel_.OnCommand(kCommandToggleVolumeLabel);
  ASSERT_TRUE(view_.PumpUntil([&] { return panel_.State() == PanelState::kIdle; }));
  EXPECT_FALSE(view_.drives[0].enabled);
  EXPECT_EQ(view_.drive_selection, 1);
  EXPECT_TRUE(Enabled(kCommandStart));
}

TEST_F(PanelTest, AChosenFolderTakesTheTestIsKeptInTheSettingsAndReportsOnlyItsDrive) {
  OpenAndListDrives();
  view_.folder_answer = "/media/stick/benchmarks";
  view_.SelectDrive(2);  // "Choose folder..."
  panel_.OnCommand(kCommandDriveList);
  EXPECT_EQ(view_.folder_starts, std::vector<std::string>{"/data/home/anna"});
  ASSERT_EQ(view_.drives.size(), 4u);
  EXPECT_EQ(view_.drives[2].text, "/media/stick/benchmarks");
  EXPECT_TRUE(view_.drives[2].folder);
  EXPECT_EQ(view_.drive_selection, 2);
  EXPECT_NE(view_.texts[kControlSummary].find("Stick B"), std::string::npos);
  std::string stored;
  ReadSettingString("Program", "test_folder", stored);
  EXPECT_EQ(stored, "/media/stick/benchmarks");

  HoldPass();
  panel_.OnCommand(kCommandSequential);
  EXPECT_EQ(TestDirectoryMade().rfind("/media/stick/benchmarks/Korvanel", 0), 0u) << TestDirectoryMade();
  ReleasePass();
  PumpUntilRunGone();
  panel_.OnCommand(kCommandCopyResults);
  EXPECT_EQ(view_.clipboard.find("benchmarks"), std::string::npos) << view_.clipboard;

  // The next start lists the folder and chooses it again.
  FakePanelView next_view;
  Panel next{{next_view, next_view, desktop_, drives_, sys_, sys_, {}}};
  next.Open();
  next.OnTimer(kTimerDriveRefresh);
  ASSERT_TRUE(next_view.PumpUntil([&] { return next.State() == PanelState::kIdle; }));
  EXPECT_EQ(next_view.drive_selection, 2);
  EXPECT_EQ(next_view.drives[2].text, "/media/stick/benchmarks");

  // A drive chosen instead is what the settings keep from then on.
  next_view.SelectDrive(0);
  next.OnCommand(kCommandDriveList);
  ReadSettingString("Program", "test_folder", stored);
  EXPECT_EQ(stored, "");
}

TEST_F(PanelTest, AFolderTheUserCannotWriteIsRefusedAndACancelledDialogKeepsTheDrive) {
  OpenAndListDrives();
  view_.SelectDrive(1);
  panel_.OnCommand(kCommandDriveList);

  view_.SelectDrive(2);
  panel_.OnCommand(kCommandDriveList);  // cancelled
  EXPECT_EQ(view_.drive_selection, 1);
  EXPECT_EQ(view_.drives.size(), 3u);

  drives_.unwritable = {"/data/system"};
  view_.folder_answer = "/data/system";
  view_.SelectDrive(2);
  panel_.OnCommand(kCommandDriveList);
  ASSERT_EQ(view_.errors.size(), 1u);
  EXPECT_EQ(view_.errors[0], "Cannot test in /data/system:\n/data/system: Permission denied");
  EXPECT_EQ(view_.drive_selection, 1);
  EXPECT_TRUE(Enabled(kCommandStart));
}

TEST_F(PanelTest, ASingleTestShowsAndCopiesOnlyWhatItMeasured) {
  OpenAndListDrives();
  RunToEnd(kCommandRandom4K);
  EXPECT_NE(view_.texts[kRnd4ReadControl].find("MB/s"), std::string::npos);
  // Neither zeros nor ratings made of them: 4K alone once gave ratings of 4.3 / 11.8 / 7.5.
  for (int control : {kSeqReadControl, kSeqWriteControl, kQdWriteControl, kAccessReadControl, kReadRatingControl,
                      kWriteRatingControl, kTotalRatingControl}) {
    EXPECT_EQ(view_.texts[control], "-") << control;
  }
  panel_.OnCommand(kCommandCopyResults);
  EXPECT_NE(view_.clipboard.find("Sequential: Read -, Write -\n"), std::string::npos) << view_.clipboard;
  EXPECT_NE(view_.clipboard.find("Benchmark: Read - + Write - = -\n"), std::string::npos) << view_.clipboard;
  EXPECT_NE(view_.clipboard.find("4K: Read " + view_.texts[kRnd4ReadControl].substr(0, 3)), std::string::npos)
      << view_.clipboard;
  EXPECT_EQ(view_.texts[kControlStatus], "");
}

TEST_F(PanelTest, AStoppedOrFailedRunSaysSoInTheStatusLine) {
  OpenAndListDrives();
  HoldPass();
  panel_.OnCommand(kCommandStart);
  panel_.OnCommand(kCommandStart);  // Stop
  ReleasePass();
  PumpUntilRunGone();
  EXPECT_EQ(view_.texts[kControlStatus], "Stopped");
  EXPECT_EQ(view_.texts[kTotalRatingControl], "-");

  sys_.create_file_error = EACCES;
  RunToEnd(kCommandSequential);
  EXPECT_EQ(view_.texts[kControlStatus], "Failed");
  EXPECT_EQ(view_.texts[kSeqReadControl], "-");
}

TEST_F(PanelTest, ATranslationWithoutATextIsRefusedAndAPartialOneFallsBackToEnglish) {
  OpenAndListDrives();
  const std::string random = scratch_ / "random.txt";
  std::string bytes;
  uint32_t state = 12345;
  for (int i = 0; i < 3000; ++i) {
    state = state * 1103515245u + 12345u;
    bytes += static_cast<char>(state >> 24);
  }
  std::ofstream(random, std::ios::binary) << bytes;
  view_.language_choice = kCommandLoadTranslation;
  view_.open_answer = random;
  panel_.OnCommand(kCommandLanguage);
  ASSERT_EQ(view_.errors.size(), 1u);
  EXPECT_NE(view_.errors[0].find("random.txt"), std::string::npos) << view_.errors[0];
  EXPECT_FALSE(TranslationInUse());
  EXPECT_EQ(view_.menu[0].items[0].text, "Screenshot to File");

  const std::string partial = scratch_ / "partial.txt";
  std::ofstream(partial) << "21=Lire\n22=Ecrire\n";
  view_.open_answer = partial;
  panel_.OnCommand(kCommandLanguage);
  EXPECT_TRUE(TranslationInUse());
  EXPECT_EQ(view_.texts[kControlReadFrame], "Lire");
  EXPECT_EQ(view_.texts[kCommandSequential], "Sequential");
  EXPECT_EQ(view_.menu[0].items[0].text, "Screenshot to File");
}

// Ctrl+C copies the time of the run, not of whatever read the clock since (a screenshot's name).
TEST_F(PanelTest, CopyGivesTheTimeOfTheLastRun) {
  OpenAndListDrives();
  RunToEnd(kCommandSequential);
  const std::string run_time = view_.texts[kFinishTimeControl];
  // A second later, a screenshot reads the clock for its name.
  for (int wait = 0; wait < 60 && RefreshLocaleDateTime().date_time_text == run_time; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  view_.save_answer.reset();
  panel_.OnCommand(kCommandScreenshotToFile);
  panel_.OnTimer(kTimerScreenshotToFile);
  ASSERT_NE(LastLocaleDateTime().date_time_text, run_time);
  panel_.OnCommand(kCommandCopyResults);
  EXPECT_NE(view_.clipboard.find("\n" + run_time + "\n"), std::string::npos) << view_.clipboard << run_time;
  EXPECT_EQ(view_.clipboard.find(LastLocaleDateTime().date_time_text), std::string::npos) << view_.clipboard;
}

// The comparison item names the site from the one place the site is configured, whatever the
// language files say.
TEST_F(PanelTest, TheComparisonItemNamesTheConfiguredSite) {
  OpenAndListDrives();
  EXPECT_EQ(view_.menu[0].items[4].text, "Comparing the results on korvanel.example");
  // The built-in table as a build with another site in lang/site_addresses.cmake would pack it.
  const std::vector<uint8_t> unpacked = LzariDecode(BuiltInLanguageImage());
  LanguageTable table = IndexLanguageTable(
      Utf16LeToUtf8(std::string_view(reinterpret_cast<const char*>(unpacked.data()), unpacked.size())));
  table.special_texts[20] = "https://benchmarks.example.org/";
  table.special_texts[21] = "https://benchmarks.example.org/de/";
  InstallLanguageTable(table);
  panel_.SetUp();
  EXPECT_EQ(view_.menu[0].items[4].text, "Comparing the results on benchmarks.example.org");
  ASSERT_TRUE(SelectLanguage(kGerman));
  panel_.SetUp();
  EXPECT_EQ(view_.menu[0].items[4].text, "Vergleichen der Ergebnisse auf benchmarks.example.org");
  ASSERT_TRUE(LoadLanguageTable());
}

// Start pressed after the run's end reached the panel, while the worker is still winding down,
// starts the next run: it is neither taken for a Stop nor lost.
TEST_F(PanelTest, StartRightAfterARunEndsIsNotLost) {
  OpenAndListDrives();
  const std::thread::id panel_thread = std::this_thread::get_id();
  std::mutex mutex;
  std::condition_variable released;
  bool hold = true, held = false;
  // The worker's first handing-in after its cleanup is the end of the run: it waits there.
  view_.after_post = [&] {
    if (std::this_thread::get_id() == panel_thread || panel_.Engine().busy()) return;
    std::unique_lock lock(mutex);
    if (held) return;
    held = true;
    released.wait_for(lock, std::chrono::seconds(10), [&] { return !hold; });
  };
  panel_.OnCommand(kCommandSequential);
  ASSERT_TRUE(view_.PumpUntil([&] { return panel_.State() == PanelState::kIdle; }));
  ASSERT_TRUE(panel_.Engine().run_exists());  // the worker has not let go of its run yet
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::lock_guard lock(mutex);
    hold = false;
    released.notify_all();
  });
  panel_.OnCommand(kCommandRandom4K);
  EXPECT_EQ(panel_.State(), PanelState::kRunning);
  release.join();
  view_.after_post = nullptr;
  PumpUntilRunGone();
  EXPECT_EQ(panel_.Engine().test_id(), kCommandRandom4K);
  EXPECT_NE(view_.texts[kRnd4ReadControl].find("MB/s"), std::string::npos);
}

TEST_F(PanelTest, InfoShowsTheFiveExplanations) {
  OpenAndListDrives();
  panel_.OnCommand(kCommandInfo);
  ASSERT_EQ(view_.informations.size(), 1u);
  const std::string& info = view_.informations[0];
  EXPECT_EQ(info.rfind("Info|Sequentiall: Write and Read linear eg. continuous.\n4K: ", 0), 0u);
  EXPECT_EQ(std::count(info.begin(), info.end(), '\n'), 5);
}

}  // namespace
}  // namespace korvanel::panel
