#pragma once
// The benchmark panel's logic, free of any toolkit: it turns the user's commands into calls of the
// engine, the drive list, the language table and the exports, keeps the controls in step with the
// run, sets up every text, and ends the program. A view (panel_view.h) shows it and reports the
// user's actions; Panel calls the view only on the view's thread.

#include <memory>
#include <optional>
#include <string>

#include "ui/panel/desktop.h"
#include "ui/panel/panel_engine_host.h"
#include "ui/panel/panel_state.h"
#include "ui/panel/panel_texts.h"
#include "ui/panel/panel_view.h"
#include "ui/panel/test_places.h"
#include "ui/panel/ui_channel.h"
#include "drives/drive_list.h"
#include "drives/drive_system.h"
#include "engine/bench_engine.h"
#include "platform/clock.h"
#include "platform/default_application.h"
#include "platform/os_version.h"
#include "platform/storage.h"
#include "results/value_texts.h"

namespace korvanel::panel {

struct PanelServices {
  PanelView& view;
  UiThread& ui;
  Desktop& desktop;
  DriveSystem& drive_system;
  platform::Storage& storage;
  platform::Clock& clock;
  platform::SystemVersion os;
};

class Panel : private EngineEvents {
 public:
  explicit Panel(PanelServices services);
  // Stops a run and waits for it and for a drive refresh; nothing reaches the view any more.
  ~Panel() override;
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;

  // The panel is on screen: reads its settings, sets up every text and starts the drive refresh.
  void Open();
  // A command of a button, menu item, list or key (panel_ids.h).
  void OnCommand(int command);
  // One of the panel's timers has fired.
  void OnTimer(int id);
  // A menu of the menu bar is about to open.
  void OnMenuAboutToShow();
  // Sets every text, font and menu anew in the current language.
  void SetUp();

  PanelState State() const;
  // The exit code once the panel has ended.
  std::optional<int> ExitCode() const { return exit_code_; }
  BenchEngine& Engine() { return engine_; }

 private:
  // EngineEvents, on the view's thread.
  void OnStatusText(const std::string& text) override;
  void OnResultsShown(const BenchResults& results) override;
  void OnEngineError(const std::string& text) override;
  void OnPassTimerStarted(uint32_t period_ms) override;
  void OnRunEnded() override;

  void ApplyControlStates();
  void ShowValues(const ValueTexts& values);
  void ShowTooltips(const BenchResults& results);
  void StartOrStop(int test_id);
  void SelectSizeAfterSetUp(int remembered);

  // Drives and folders (panel_drives.cpp).
  void StartDriveRefresh();
  void OnDrivesRefreshed(const std::optional<TestPlaceItem>& folder_place);
  // Lists the drives' places, then `folder_place` when there is one, then "Choose folder...".
  void ListPlaces(const std::optional<TestPlaceItem>& folder_place);
  int IndexOf(const std::string& key) const;
  void SelectDrive(bool force);
  void ChooseFolder();
  void RememberFolder(const std::string& folder);
  void ResetShownResults();
  std::optional<TestPlaceItem> SelectedPlace() const;
  // The drive of the selected place.
  std::optional<DriveEntry> SelectedDrive() const;

  // Ending (panel_cancel.cpp).
  void Cancel();
  void Exit();
  void BeginWaitForRun();
  void OnWaitStep();
  void End(int exit_code);

  // What leaves the panel (panel_exports.cpp).
  void OpenPage(int command);
  void StartSystemTool(int command);
  void OpenSettingsFile();
  void ShowInfo();
  void OpenComparisonReport();
  void ScreenshotToFile();
  void ScreenshotToPaint();
  void CopyResults();
  void ShowLanguageMenu();
  void ExportTranslation();
  void LoadTranslation();
  void ReportFailure(const std::string& what, const SysError& error);
  // Why a file went elsewhere than usual (platform::PrivateFile), in the status line.
  void TellNotice(const std::string& notice);
  // A change the settings file could not take is said once per session: the choice holds for now
  // but will not be there next time.
  void TellRefusedSettingsWrite();
  platform::OpenOutcome OpenOnDesktop(const std::string& path);
  bool HasCommand(int command);

  PanelView& view_;
  Desktop& desktop_;
  DriveSystem& drive_system_;
  platform::SystemVersion os_;
  UiChannel channel_;
  PanelEngineHost host_;
  BenchEngine engine_;
  DriveList drives_;

  PanelTexts texts_;
  ValueTexts shown_values_;
  std::string last_run_time_;  // when the run whose values are on show ended; empty: none
  std::vector<ControlText> shown_tooltips_;
  int test_time_id_ = 1;
  int no_vol_label_ = 0;

  bool drives_listed_ = false;   // the first drive refresh has ended
  bool refreshing_ = false;
  bool told_refused_settings_write_ = false;
  bool refresh_pending_ = false;  // asked for during a run or a refresh; starts when that ends
  bool run_active_ = false;       // from an accepted start until the worker has ended
  bool stop_requested_ = false;
  bool run_failed_ = false;       // the last run showed an error
  bool run_stopped_ = false;      // the last run was stopped before its end
  bool results_complete_ = false; // the shown results come from a run that ended normally
  std::vector<TestPlaceItem> places_;  // the drive list's items before "Choose folder..."
  std::string folder_;            // the folder chosen with "Choose folder...", or empty
  std::string stored_folder_;     // the folder as the settings hold it
  std::string selected_key_;      // the selected place, whose values are on show

  // The wait for a stopping run before the end (Escape, the close box, Exit).
  int wait_steps_left_ = 0;
  bool waiting_ = false;
  bool exit_after_wait_ = false;   // Exit: no step limit, exit code 0
  bool stopped_run_for_end_ = false;
  std::optional<int> exit_code_;
};

}  // namespace korvanel::panel
