#pragma once
// The engine's host in a terminal: the status line with a progress bar and the time left, error
// reports on stderr, and the values of the last refresh for the final table.

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/main_loop.h"
#include "engine/bench_engine.h"

namespace korvanel::cli {

class CliHost : public EngineHost {
 public:
  // `progress` goes to `out` (a terminal rewrites one line; anything else gets a line per status).
  CliHost(MainLoop& loop, std::FILE* out, bool terminal);
  void Attach(BenchEngine* engine) { engine_ = engine; }
  // The number of windows the run will open and their length, for the time left.
  void PlanRun(int windows, int window_ms);

  void PostResultsReset() override {}
  void PostStatus(std::string text) override;
  void PostEndTag(std::string text) override;
  void PostRunFinished() override {}
  void Refresh(const BenchResults& results) override;
  void ShowError(const std::string& text) override;
  void StartPassTimer(uint32_t period_ms) override;
  void SetRunningState(bool) override {}
  void StampFinishTime() override;

  // Loop thread: redraws the progress line (time left moves on between messages).
  void DrawProgress();
  // Loop thread: ends the progress display before the final output.
  void FinishProgress();

  const std::vector<std::string>& errors() const { return errors_; }
  const std::string& finish_time() const { return finish_time_; }

 private:
  MainLoop& loop_;
  std::FILE* out_;
  bool terminal_;
  BenchEngine* engine_ = nullptr;
  int planned_windows_ = 0;
  int window_ms_ = 0;
  std::atomic<int> windows_started_{0};  // counted on the worker, read on the loop
  std::string status_;
  std::vector<std::string> errors_;
  std::string finish_time_;
  bool line_open_ = false;
};

// "[#####-----]  50%  0:07 left  <status>", cut to `width` columns.
std::string ProgressLine(int windows_started, int planned_windows, int window_ms, int ms_left_in_window,
                         const std::string& status, size_t width);

}  // namespace korvanel::cli
