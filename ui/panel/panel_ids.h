#pragma once
// The panel's id space: controls, menu items and toolbar buttons share one set of command ids, and
// the panel's timers have ids of their own. A view maps its widgets to these ids.

namespace korvanel::panel {

// Commands. The five single-test buttons and Start carry the engine's test ids (engine/run_parameters.h).
inline constexpr int kCommandEnter = 1;             // Enter while no push button has the focus
inline constexpr int kCommandCancel = 2;            // Escape, the close box
inline constexpr int kCommandExit = 5;              // menu "E&xit"
inline constexpr int kCommandStart = 6;             // Start / Stop of the full benchmark
inline constexpr int kCommandSequential = 1028;
inline constexpr int kCommandRandom4K = 1029;
inline constexpr int kCommandQueued4K = 1030;
inline constexpr int kCommandAccessTime = 1032;
inline constexpr int kCommandRandom512K = 1034;
inline constexpr int kCommandDriveList = 1031;      // the drive list changed its selection
inline constexpr int kCommandSizeList = 1033;       // the size list changed its selection
inline constexpr int kCommandNotice = 1013;         // footer button with the notice text
inline constexpr int kCommandLanguage = 1022;       // footer button "# LNG"
inline constexpr int kCommandTaskManager = 4006;
inline constexpr int kCommandSystemSettings = 4007;
inline constexpr int kCommandSystemInformation = 4046;
inline constexpr int kCommandOptimizeDrive = 43001;
inline constexpr int kCommandComputerManagement = 43107;
inline constexpr int kCommandDiskManagement = 43108;
inline constexpr int kCommandSettingsFile = 43109;
inline constexpr int kCommandFaq = 32790;
inline constexpr int kCommandHomepage = 43103;
inline constexpr int kCommandDonate = 43111;
inline constexpr int kCommandCompare = 43102;
inline constexpr int kCommandScreenshotToPaint = 43104;
inline constexpr int kCommandScreenshotToFile = 43105;
inline constexpr int kCommandToggleVolumeLabel = 43106;
inline constexpr int kCommandInfo = 32776;
inline constexpr int kCommandCopyResults = 43120;   // Ctrl+C: the results as plain text

// Controls that show text.
inline constexpr int kControlSummary = 32806;
inline constexpr int kControlReadFrame = 32800;
inline constexpr int kControlWriteFrame = 32799;
inline constexpr int kControlRatingFrame = 32805;
inline constexpr int kControlFinishTime = 42808;
inline constexpr int kControlProgramName = 32804;
inline constexpr int kControlStatus = 1019;

// Timers; each fires once.
inline constexpr int kTimerDriveRefresh = 2111;
inline constexpr int kTimerScreenshotToPaint = 43104;
inline constexpr int kTimerScreenshotToFile = 43105;
inline constexpr int kTimerPassWindow = 9653;
inline constexpr int kTimerCancelWait = 2112;       // one 20 ms step of the wait for a stopping run

inline constexpr int kDriveRefreshDelayMs = 200;
inline constexpr int kScreenshotToFileDelayMs = 100;
inline constexpr int kScreenshotToPaintDelayMs = 500;
inline constexpr int kCancelWaitStepMs = 20;
inline constexpr int kCancelWaitSteps = 100;

// The folder chosen with "Choose folder...", kept in the settings while it is the chosen place.
inline constexpr const char* kFolderSetting = "test_folder";

// Exit codes of the panel.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitAfterStoppedRun = 4660;

}  // namespace korvanel::panel
