// How the panel ends: at once when nothing runs, otherwise after the running benchmark has
// stopped and removed its test file. The wait is a timer of 20 ms steps, so the view keeps
// carrying out what the worker hands it while the run winds down.
#include "ui/panel/panel.h"
#include "ui/panel/panel_ids.h"

namespace korvanel::panel {

void Panel::Cancel() {
  if (waiting_) {
    // Another press renews the wait.
    wait_steps_left_ = kCancelWaitSteps;
    return;
  }
  if (!engine_.run_exists() && !refreshing_) return End(kExitNormal);
  BeginWaitForRun();
}

void Panel::Exit() {
  exit_after_wait_ = true;
  if (!engine_.run_exists() && !refreshing_) return End(kExitNormal);
  if (!waiting_) BeginWaitForRun();
}

void Panel::BeginWaitForRun() {
  waiting_ = true;
  wait_steps_left_ = kCancelWaitSteps;
  if (engine_.run_exists()) {
    engine_.RequestStop();
    stop_requested_ = run_active_;
    run_stopped_ = true;
    stopped_run_for_end_ = true;
    ApplyControlStates();
  }
  view_.StartTimer(kTimerCancelWait, kCancelWaitStepMs);
}

void Panel::OnWaitStep() {
  if (!waiting_) return;
  if (engine_.busy()) engine_.RequestStop();
  // The exit code tells a script that a run had to be stopped first.
  const int exit_code = stopped_run_for_end_ && !exit_after_wait_ ? kExitAfterStoppedRun : kExitNormal;
  if (!engine_.run_exists() && !refreshing_) return End(exit_code);
  if (--wait_steps_left_ > 0) return view_.StartTimer(kTimerCancelWait, kCancelWaitStepMs);
  // Only a drive refresh is left, stuck on a drive that does not answer (a network mount whose
  // server is gone): it writes nothing anywhere, so the program need not wait for it any longer.
  if (!engine_.run_exists()) return End(exit_code);
  // Exit waits for the run's cleanup, however long it takes: its test file must go.
  if (exit_after_wait_) return view_.StartTimer(kTimerCancelWait, kCancelWaitStepMs);
  // Two seconds were not enough: the panel stays open and the run keeps stopping.
  waiting_ = false;
}

void Panel::End(int exit_code) {
  if (exit_code_) return;
  exit_code_ = exit_code;
  waiting_ = false;
  view_.Quit(exit_code);
}

}  // namespace korvanel::panel
