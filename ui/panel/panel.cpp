#include "ui/panel/panel.h"

#include "ui/panel/panel_ids.h"
#include "ui/panel/value_tooltips.h"
#include "common/path_text.h"
#include "lang/languages.h"
#include "results/finish_time.h"
#include "results/measured_values.h"
#include "settings/settings.h"

namespace korvanel::panel {
namespace {

constexpr int kSizeCount = 4;
constexpr const char* kRunStoppedText = "Stopped";
constexpr const char* kRunFailedText = "Failed";
constexpr int kDefaultSize = 1;

}  // namespace

Panel::Panel(PanelServices services)
    : view_(services.view),
      desktop_(services.desktop),
      drive_system_(services.drive_system),
      os_(services.os),
      channel_(services.ui),
      host_(channel_, *this),
      engine_(services.storage, services.clock, host_),
      drives_(services.drive_system) {}

Panel::~Panel() {
  channel_.Close();
  engine_.RequestStop();
  // The members' destructors wait for the worker and the refresh thread; with the channel closed
  // neither waits for the view.
}

void Panel::Open() {
  test_time_id_ = ReadSettingInt("test_time_id", test_time_id_);
  no_vol_label_ = ReadSettingInt("no_vol_label", no_vol_label_) != 0 ? 1 : 0;
  ReadSettingString(kProgramSection, kFolderSetting, stored_folder_);
  // Chosen through the folder dialog, so never relative; anything else was edited in by hand.
  if (PathFromUtf8(stored_folder_).has_root_directory()) {
    folder_ = stored_folder_;
    selected_key_ = FolderKey(folder_);
  }
  view_.StartTimer(kTimerDriveRefresh, kDriveRefreshDelayMs);
  SetUp();
  ShowValues(TemplateValueTexts());
  ShowTooltips(BenchResults{});
  view_.SetControlText(kFinishTimeControl, FinishTimeStamp());
  // Said once the panel is on screen: the user should know why choices will not be kept.
  if (const SysError problem = SettingsFileProblem()) {
    channel_.Post([this, problem] {
      view_.ShowError("Settings file " + SettingsPath() + ":\n" + problem.description +
                      "\n\nThe defaults are used and nothing is stored.");
    });
  }
}

PanelState Panel::State() const {
  if (exit_code_) return PanelState::kEnded;
  if (run_active_) return stop_requested_ ? PanelState::kStopping : PanelState::kRunning;
  if (refreshing_) return PanelState::kRefreshingDrives;
  // Until the first refresh has filled the drive list, there is nothing to test.
  return drives_listed_ ? PanelState::kIdle : PanelState::kOpening;
}

void Panel::OnCommand(int command) {
  if (exit_code_) return;
  switch (command) {
    case kCommandCancel: return Cancel();
    case kCommandExit: return Exit();
    case kCommandStart:
    case kCommandSequential:
    case kCommandRandom4K:
    case kCommandRandom512K:
    case kCommandQueued4K:
    case kCommandAccessTime: return StartOrStop(command);
    case kCommandDriveList: return SelectDrive(false);
    case kCommandSizeList:
      test_time_id_ = view_.SizeSelection();
      WriteSettingInt("test_time_id", test_time_id_);
      return TellRefusedSettingsWrite();
    case kCommandLanguage: return ShowLanguageMenu();
    case kCommandToggleVolumeLabel:
      no_vol_label_ = 1 - no_vol_label_;
      WriteSettingInt("no_vol_label", no_vol_label_);
      TellRefusedSettingsWrite();
      return StartDriveRefresh();
    case kCommandInfo: return ShowInfo();
    case kCommandCompare: return OpenComparisonReport();
    case kCommandScreenshotToFile: return view_.StartTimer(kTimerScreenshotToFile, kScreenshotToFileDelayMs);
    case kCommandScreenshotToPaint: return view_.StartTimer(kTimerScreenshotToPaint, kScreenshotToPaintDelayMs);
    case kCommandCopyResults: return CopyResults();
    case kCommandSettingsFile: return OpenSettingsFile();
    case kCommandTaskManager:
    case kCommandSystemSettings:
    case kCommandSystemInformation:
    case kCommandOptimizeDrive:
    case kCommandComputerManagement:
    case kCommandDiskManagement: return StartSystemTool(command);
    case kCommandEnter:
    case kCommandDonate:
    case kCommandFaq:
    case kCommandHomepage:
    case kCommandNotice: return OpenPage(command);
    default: return;
  }
}

void Panel::OnTimer(int id) {
  switch (id) {
    case kTimerPassWindow: return engine_.OnPassTimer();
    case kTimerDriveRefresh: return StartDriveRefresh();
    case kTimerScreenshotToFile: return ScreenshotToFile();
    case kTimerScreenshotToPaint: return ScreenshotToPaint();
    case kTimerCancelWait: return OnWaitStep();
    default: return;
  }
}

void Panel::OnMenuAboutToShow() { view_.SetMenuItemChecked(kCommandToggleVolumeLabel, no_vol_label_ == 1); }

void Panel::StartOrStop(int test_id) {
  if (run_active_) {
    // The Start button reads "Stop " now: the run ends after its current measured pass.
    engine_.RequestStop();
    stop_requested_ = true;
    run_stopped_ = true;
    ApplyControlStates();
    return;
  }
  const std::optional<TestPlaceItem> place = SelectedPlace();
  if (State() != PanelState::kIdle || !place || !place->usable()) return;
  run_failed_ = false;
  run_stopped_ = false;
  results_complete_ = false;
  test_time_id_ = view_.SizeSelection();
  // The engine stores the length in the settings and resets the results.
  if (engine_.Start({test_id, place->directory, test_time_id_}) != BenchEngine::Outcome::kStarted) return;
  run_active_ = true;
  stop_requested_ = false;
  // The values of the last run do not belong to this one, even if it ends before measuring any.
  ShowValues(ShownValueTexts(BenchResults{}));
  ShowTooltips(BenchResults{});
  last_run_time_.clear();
  ApplyControlStates();
}

void Panel::ApplyControlStates() {
  const std::optional<TestPlaceItem> place = SelectedPlace();
  const ControlStates controls = ControlsFor(State(), place && place->usable());
  for (int button : kTestButtons) view_.SetControlEnabled(button, controls.tests);
  for (int list : kLists) view_.SetControlEnabled(list, controls.lists);
  view_.SetControlEnabled(kCommandStart, controls.start);
  view_.SetControlText(kCommandStart, controls.start_reads_stop ? texts_.stop_caption : texts_.start_caption);
}

void Panel::ShowValues(const ValueTexts& values) {
  for (const ControlText& control : InRefreshOrder(values)) view_.SetControlText(control.control_id, control.text);
  shown_values_ = values;
}

void Panel::ShowTooltips(const BenchResults& results) {
  const std::vector<ControlText> next = ValueTooltips(results);
  for (size_t i = 0; i < next.size(); ++i) {
    if (i >= shown_tooltips_.size() || shown_tooltips_[i].text != next[i].text) {
      view_.SetControlTooltip(next[i].control_id, next[i].text);
    }
  }
  shown_tooltips_ = next;
}

// --- the engine's reports ---

void Panel::OnStatusText(const std::string& text) { view_.SetControlText(kControlStatus, text); }

void Panel::OnResultsShown(const BenchResults& results) {
  // What the run has not measured (yet) shows as such, never as a zero or a rating made of zeros.
  const ValueTexts next = ShownValueTexts(results);
  const auto texts = InRefreshOrder(next);
  for (int control : ChangedControls(shown_values_, next)) {
    for (const ControlText& text : texts) {
      if (text.control_id == control) view_.SetControlText(control, text.text);
    }
  }
  shown_values_ = next;
  ShowTooltips(results);
}

void Panel::OnEngineError(const std::string& text) {
  run_failed_ = true;
  view_.ShowError(text);
}

void Panel::OnPassTimerStarted(uint32_t period_ms) {
  view_.StartTimer(kTimerPassWindow, static_cast<int>(period_ms));
}

void Panel::OnRunEnded() {
  run_active_ = false;
  stop_requested_ = false;
  results_complete_ = !run_failed_ && !run_stopped_;
  // The status line ends empty after a complete run; otherwise it says why values are missing.
  view_.SetControlText(kControlStatus, run_failed_ ? kRunFailedText : run_stopped_ ? kRunStoppedText : "");
  last_run_time_ = FinishTimeStamp();
  view_.SetControlText(kFinishTimeControl, last_run_time_);
  ApplyControlStates();
  if (refresh_pending_ && !waiting_) {
    refresh_pending_ = false;
    StartDriveRefresh();
  }
}

// --- set-up ---

void Panel::SetUp() {
  texts_ = BuildPanelTexts(os_);
  view_.SetMenuBar(BuildMenuBar([this](int command) { return HasCommand(command); }));
  view_.SetButtonFonts(texts_.test_button_font, texts_.start_button_font);
  for (const ControlText& control : texts_.controls) view_.SetControlText(control.control_id, control.text);
  view_.SetFooterButtons(texts_.footer);
  view_.SetTitle(texts_.title);
  view_.SetStripButton(texts_.donate, kCommandDonate);
  const int remembered = view_.SizeSelection();
  view_.SetSizeItems(texts_.sizes);
  SelectSizeAfterSetUp(remembered);
  engine_.SetTexts(LanguageEngineTexts());
  view_.SetRightToLeft(texts_.right_to_left);
  ApplyControlStates();
}

void Panel::SelectSizeAfterSetUp(int remembered) {
  if (remembered >= 0 && remembered < kSizeCount) return view_.SelectSize(remembered);
  // A stored length outside the list (a hand-edited file) counts as none.
  view_.SelectSize(test_time_id_ >= 0 && test_time_id_ < kSizeCount ? test_time_id_ : kDefaultSize);
}

}  // namespace korvanel::panel
