#pragma once
// What the engine needs from whoever started it: a panel, the CLI, a test. The engine's worker calls
// these from its own thread; the host carries them over to its own thread in the order they came.

#include <cstdint>
#include <string>

#include "engine/bench_results.h"

namespace korvanel {

class EngineHost {
 public:
  virtual ~EngineHost() = default;

  // The results were cleared for a new run (the panel is left without a default button).
  virtual void PostResultsReset() = 0;
  // A new text for the status line.
  virtual void PostStatus(std::string text) = 0;
  // Something the user should know to read the results right that is no error (a pass that did
  // not count, an encrypted test directory); a host without a place of its own for it shows it as
  // a status.
  virtual void PostNotice(std::string text) { PostStatus(std::move(text)); }
  // The run's last status text (empty: the status line becomes empty).
  virtual void PostEndTag(std::string text) = 0;
  // The last message of a run.
  virtual void PostRunFinished() = 0;
  // Synchronous: returns only after the host has shown these values.
  virtual void Refresh(const BenchResults& results) = 0;
  // Synchronous: shows the error to the user and returns when the user has seen it.
  virtual void ShowError(const std::string& text) = 0;
  // Synchronous: the same error with what failed on which path ("creating the test file /mnt/x/...")
  // for a host that can show more than the box. A host that shows only the box keeps this default.
  virtual void ShowDetailedError(const std::string& text, const std::string& what_failed) {
    (void)what_failed;
    ShowError(text);
  }
  // Starts (or restarts) the one-shot pass timer; when `period_ms` has passed the host calls
  // BenchEngine::OnPassTimer on its own thread.
  virtual void StartPassTimer(uint32_t period_ms) = 0;
  // Running: the test and drive controls are disabled and Start reads "Stop "; idle: the opposite.
  virtual void SetRunningState(bool running) = 0;
  // Writes the date and time of the finished run.
  virtual void StampFinishTime() = 0;
};

}  // namespace korvanel
