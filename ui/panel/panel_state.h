#pragma once
// The panel's states and what the user can do in each.

#include <array>

namespace korvanel::panel {

enum class PanelState {
  kOpening,           // on screen, the drive list not filled yet
  kRefreshingDrives,  // the drive list is being filled
  kIdle,              // waiting for the user
  kRunning,           // a benchmark runs
  kStopping,          // a benchmark has been asked to stop and finishes its pass
  kEnded,             // closed; the program ends
};

const char* StateName(PanelState state);

struct ControlStates {
  bool tests = false;       // the five single-test buttons
  bool lists = false;       // the drive and size lists
  bool start = false;       // the Start/Stop button
  bool start_reads_stop = false;
};

// Which controls are usable in `state`; without a drive to test, nothing can be started.
ControlStates ControlsFor(PanelState state, bool has_drive);

// The single-test buttons and the two lists, in the order the view enables them.
inline constexpr std::array<int, 5> kTestButtons = {1028, 1029, 1034, 1030, 1032};
inline constexpr std::array<int, 2> kLists = {1031, 1033};

}  // namespace korvanel::panel
