#include "ui/panel/panel_state.h"

namespace korvanel::panel {

const char* StateName(PanelState state) {
  switch (state) {
    case PanelState::kOpening: return "opening";
    case PanelState::kRefreshingDrives: return "refreshing drives";
    case PanelState::kIdle: return "idle";
    case PanelState::kRunning: return "running";
    case PanelState::kStopping: return "stopping";
    case PanelState::kEnded: return "ended";
  }
  return "?";
}

ControlStates ControlsFor(PanelState state, bool has_drive) {
  ControlStates controls;
  switch (state) {
    case PanelState::kIdle:
      controls.tests = has_drive;
      controls.lists = true;
      controls.start = has_drive;
      break;
    case PanelState::kRunning:
      // Start has become Stop; nothing else may change while the drive is measured.
      controls.start = true;
      controls.start_reads_stop = true;
      break;
    case PanelState::kStopping:
      controls.start_reads_stop = true;
      break;
    case PanelState::kOpening:
    case PanelState::kRefreshingDrives:
    case PanelState::kEnded:
      break;
  }
  return controls;
}

}  // namespace korvanel::panel
