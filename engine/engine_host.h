#pragma once
// What the engine tells whoever started it (a panel, the command line, a test) about a run. The
// worker calls these on its own thread, in the order things happen; the host carries them over to
// its own thread in that order. A run that was started always ends with PostRunEnded.

#include <cstdint>
#include <string>

#include "engine/bench_results.h"

namespace korvanel {

class EngineHost {
 public:
  virtual ~EngineHost() = default;

  // What the run does now: preparing, or which pass of which test ("Sequential Read 1/2").
  virtual void PostStatus(std::string text) = 0;
  // Something that is no error but bears on reading the results (a pass that did not count, an
  // encrypted test directory). A host without a place of its own for it shows it as a status.
  virtual void PostNotice(std::string text) { PostStatus(std::move(text)); }
  // Synchronous: the rates as they stand now (live during a pass, stored after it); returns once the
  // host has taken them.
  virtual void Refresh(const BenchResults& results) = 0;
  // Synchronous: the run failed and stops. `text` is the message (an engine text, for a system
  // error with its code and description), `what_failed` what was being done on which path
  // ("creating the test file /mnt/x/..."). Returns once the user has seen it.
  virtual void ShowError(const std::string& text, const std::string& what_failed) = 0;
  // Starts (or restarts) the one-shot pass timer; when `period_ms` has passed the host calls
  // BenchEngine::OnPassTimer on its own thread.
  virtual void StartPassTimer(uint32_t period_ms) = 0;
  // The run is over, after its end, an error or a stop: the test file is gone, there is no status
  // any more, and the time of the run is now. From here on a Start begins a new run.
  virtual void PostRunEnded() = 0;
};

}  // namespace korvanel
