#include "app/cli/cli_host.h"

#include <algorithm>

#include "app/cli/text_width.h"
#include "common/display_text.h"
#include "results/finish_time.h"

namespace korvanel::cli {
namespace {

constexpr size_t kWidthWhenUnknown = 79;
constexpr int kFullBarCells = 20;
// Below this many columns for bar and all the bar gives way; above, it grows up to its full size.
constexpr int kColumnsBesideBar = 45;

std::string WithoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

}  // namespace

CliHost::CliHost(MainLoop& loop, ProgressTerminal terminal) : loop_(loop), terminal_(std::move(terminal)) {}

void CliHost::PlanRun(int windows, int window_ms) {
  planned_windows_ = windows;
  window_ms_ = window_ms;
  windows_started_ = 0;
}

// Statuses come from the language table or a loaded translation, and name paths: whatever control
// characters they hold are shown, never obeyed by the terminal.
void CliHost::PostStatus(std::string text) {
  loop_.Post([this, text = EscapeControlCharacters(text)] {
    status_ = text;
    if (terminal_.rewritable) {
      DrawProgress();
    } else if (!status_.empty()) {
      std::fprintf(terminal_.out, "%s\n", status_.c_str());
      std::fflush(terminal_.out);
    }
  });
}

void CliHost::PostNotice(std::string text) {
  loop_.Post([this, text = std::move(text)] { Announce(text); });
}

void CliHost::Refresh(const BenchResults&) {
  // The final table reads the engine's results; a terminal only needs the wait to be short.
  loop_.Invoke([] {});
}

void CliHost::ShowError(const std::string& text, const std::string& what_failed) {
  loop_.Invoke([this, text, what_failed] {
    FinishProgress();
    // The box's CR LF becomes a line break; the lines name paths, and leftovers found on the drive.
    std::fprintf(terminal_.out, "korvanel-cli: %s\n", EscapeControlCharactersInLines(text).c_str());
    if (!what_failed.empty()) {
      std::fprintf(terminal_.out, "korvanel-cli: failed while %s\n", EscapeControlCharacters(what_failed).c_str());
    }
    std::fflush(terminal_.out);
    failures_.push_back({WithoutCarriageReturns(text), what_failed});
  });
}

void CliHost::StartPassTimer(uint32_t period_ms) {
  // Counted before the timer starts, so the progress line never pairs a new window's time with the
  // old count.
  ++windows_started_;
  loop_.StartTimer(std::chrono::milliseconds(period_ms), [this] {
    if (engine_) engine_->OnPassTimer();
  });
}

void CliHost::PostRunEnded() {
  loop_.Post([this] {
    status_.clear();
    if (terminal_.rewritable) DrawProgress();
    finish_time_ = FinishTimeStamp();
  });
}

size_t CliHost::LineWidth(std::optional<int> columns) const {
  if (!columns) return kWidthWhenUnknown;
  return static_cast<size_t>(std::max(*columns - 1, 1));
}

void CliHost::ClearLine(std::optional<int> columns) {
  const size_t rows = columns && *columns > 0 ? (drawn_width_ + *columns - 1) / *columns : 1;
  if (rows > 1) std::fprintf(terminal_.out, "\x1b[%zuA", rows - 1);
  std::fprintf(terminal_.out, rows > 1 ? "\r\x1b[J" : "\r\x1b[K");
  drawn_width_ = 0;
}

void CliHost::DrawProgress() {
  if (!terminal_.rewritable) return;
  const auto left = loop_.TimerRemaining();
  const int ms_left = left ? static_cast<int>(left->count()) : 0;
  const std::optional<int> columns = terminal_.columns();
  const std::string line =
      ProgressLine(windows_started_, planned_windows_, window_ms_, ms_left, status_, LineWidth(columns));
  ClearLine(columns);
  std::fputs(line.c_str(), terminal_.out);
  std::fflush(terminal_.out);
  drawn_width_ = DisplayWidth(line);
  line_open_ = true;
}

void CliHost::FinishProgress() {
  if (!line_open_) return;
  ClearLine(terminal_.columns());
  std::fflush(terminal_.out);
  line_open_ = false;
}

void CliHost::Announce(const std::string& text) {
  FinishProgress();
  std::fprintf(terminal_.out, "%s\n", EscapeControlCharactersInLines(text).c_str());
  std::fflush(terminal_.out);
  DrawProgress();
}

std::string ProgressLine(int windows_started, int planned_windows, int window_ms, int ms_left_in_window,
                         const std::string& status, size_t width) {
  const int total_ms = std::max(1, planned_windows * window_ms);
  // Windows not yet opened, plus what is left of the open one.
  const int open_windows = std::min(windows_started, planned_windows);
  int left_ms = (planned_windows - open_windows) * window_ms + (open_windows > 0 ? ms_left_in_window : 0);
  left_ms = std::clamp(left_ms, 0, total_ms);
  const int done_ms = total_ms - left_ms;
  const int percent = done_ms * 100 / total_ms;
  const int seconds = (left_ms + 999) / 1000;
  std::string bar;
  const int bar_cells = std::clamp(static_cast<int>(width) - kColumnsBesideBar, 0, kFullBarCells);
  if (bar_cells > 0) {
    const int cells = done_ms * bar_cells / total_ms;
    bar = "[" + std::string(cells, '#') + std::string(bar_cells - cells, '-') + "] ";
  }
  char head[64];
  std::snprintf(head, sizeof head, "%3d%%  %d:%02d left  ", percent, seconds / 60, seconds % 60);
  return FitToWidth(bar + head + status, width);
}

}  // namespace korvanel::cli
