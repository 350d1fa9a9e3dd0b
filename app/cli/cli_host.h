#pragma once
// The engine's host in a terminal: the status line with a progress bar and the time left, notices,
// and error reports with what failed on which path, all on the progress terminal (stderr), with
// control characters shown escaped.

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/main_loop.h"
#include "engine/bench_engine.h"

namespace korvanel::cli {

// Where the progress goes and what it can do there.
struct ProgressTerminal {
  std::FILE* out = stderr;
  // True: one line rewritten in place; false (a pipe, a file, TERM=dumb): a plain line per status.
  bool rewritable = false;
  // The terminal's width now, asked at every redraw so that a resize shows at once.
  std::function<std::optional<int>()> columns = [] { return std::nullopt; };
};

struct EngineFailure {
  std::string text;         // the error box's text, lines joined by "\n"
  std::string what_failed;  // what was being done on which path
};

class CliHost : public EngineHost {
 public:
  CliHost(MainLoop& loop, ProgressTerminal terminal);
  void Attach(BenchEngine* engine) { engine_ = engine; }
  // The number of windows the run will open and their length, for the time left.
  void PlanRun(int windows, int window_ms);

  void PostStatus(std::string text) override;
  void PostNotice(std::string text) override;
  void Refresh(const BenchResults& results) override;
  void ShowError(const std::string& text, const std::string& what_failed) override;
  void StartPassTimer(uint32_t period_ms) override;
  void PostRunEnded() override;

  // Loop thread: redraws the progress line (time left moves on between messages).
  void DrawProgress();
  // Loop thread: ends the progress display, so that the next output starts on a line of its own.
  void FinishProgress();
  // Loop thread: a message on a line of its own, between progress updates.
  void Announce(const std::string& text);

  const std::vector<EngineFailure>& failures() const { return failures_; }
  const std::string& finish_time() const { return finish_time_; }

 private:
  // The columns the progress line may fill: one less than the terminal's, so that writing the last
  // column never moves the cursor to a new line.
  size_t LineWidth(std::optional<int> columns) const;
  // Returns the cursor to the start of the progress line and clears it. After the terminal became
  // narrower, a reflowing terminal (most are) has wrapped the line onto more rows; those go too.
  void ClearLine(std::optional<int> columns);

  MainLoop& loop_;
  ProgressTerminal terminal_;
  BenchEngine* engine_ = nullptr;
  int planned_windows_ = 0;
  int window_ms_ = 0;
  std::atomic<int> windows_started_{0};  // counted on the worker, read on the loop
  std::string status_;
  std::vector<EngineFailure> failures_;
  std::string finish_time_;
  bool line_open_ = false;
  size_t drawn_width_ = 0;  // columns of the progress line on the screen
};

// "[#####-----]  50%  0:07 left  <status>" within `width` columns; the bar shrinks and then goes
// on narrow terminals, so the time left and the status keep their room.
std::string ProgressLine(int windows_started, int planned_windows, int window_ms, int ms_left_in_window,
                         const std::string& status, size_t width);

}  // namespace korvanel::cli
