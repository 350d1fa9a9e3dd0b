#include "app/cli/cli_host.h"

#include <algorithm>

#include "results/finish_time.h"

namespace korvanel::cli {

CliHost::CliHost(MainLoop& loop, std::FILE* out, bool terminal) : loop_(loop), out_(out), terminal_(terminal) {}

void CliHost::PlanRun(int windows, int window_ms) {
  planned_windows_ = windows;
  window_ms_ = window_ms;
  windows_started_ = 0;
}

void CliHost::PostStatus(std::string text) {
  loop_.Post([this, text = std::move(text)] {
    status_ = text;
    if (terminal_) {
      DrawProgress();
    } else if (!status_.empty()) {
      std::fprintf(out_, "%s\n", status_.c_str());
      std::fflush(out_);
    }
  });
}

void CliHost::PostEndTag(std::string text) {
  loop_.Post([this, text = std::move(text)] {
    status_ = text;
    if (terminal_) DrawProgress();
  });
}

void CliHost::Refresh(const BenchResults&) {
  // The final table reads the engine's results; a terminal only needs the wait to be short.
  loop_.Invoke([] {});
}

void CliHost::ShowError(const std::string& text) {
  loop_.Invoke([this, text] {
    FinishProgress();
    std::string shown = text;  // the box's CR LF becomes a terminal's line break
    shown.erase(std::remove(shown.begin(), shown.end(), '\r'), shown.end());
    std::fprintf(stderr, "korvanel-cli: %s\n", shown.c_str());
    std::fflush(stderr);
    errors_.push_back(text);
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

void CliHost::StampFinishTime() {
  loop_.Post([this] { finish_time_ = FinishTimeStamp(); });
}

void CliHost::DrawProgress() {
  if (!terminal_) return;
  const auto left = loop_.TimerRemaining();
  const int ms_left = left ? static_cast<int>(left->count()) : 0;
  const std::string line = ProgressLine(windows_started_, planned_windows_, window_ms_, ms_left, status_, 79);
  std::fprintf(out_, "\r%s\x1b[K", line.c_str());
  std::fflush(out_);
  line_open_ = true;
}

void CliHost::FinishProgress() {
  if (!line_open_) return;
  std::fprintf(out_, "\r\x1b[K");
  std::fflush(out_);
  line_open_ = false;
}

std::string ProgressLine(int windows_started, int planned_windows, int window_ms, int ms_left_in_window,
                         const std::string& status, size_t width) {
  constexpr int kBarCells = 20;
  const int total_ms = std::max(1, planned_windows * window_ms);
  // Windows not yet opened, plus what is left of the open one.
  const int open_windows = std::min(windows_started, planned_windows);
  int left_ms = (planned_windows - open_windows) * window_ms + (open_windows > 0 ? ms_left_in_window : 0);
  left_ms = std::clamp(left_ms, 0, total_ms);
  const int done_ms = total_ms - left_ms;
  const int cells = done_ms * kBarCells / total_ms;
  const int percent = done_ms * 100 / total_ms;
  const int seconds = (left_ms + 999) / 1000;
  char head[64];
  std::snprintf(head, sizeof head, "[%s%s] %3d%%  %d:%02d left  ", std::string(cells, '#').c_str(),
                std::string(kBarCells - cells, '-').c_str(), percent, seconds / 60, seconds % 60);
  std::string line = head + status;
  if (line.size() > width) {
    size_t cut = width;  // never in the middle of a UTF-8 sequence
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    line.resize(cut);
  }
  return line;
}

}  // namespace korvanel::cli
