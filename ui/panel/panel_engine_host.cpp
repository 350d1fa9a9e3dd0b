#include "ui/panel/panel_engine_host.h"

namespace korvanel::panel {

void PanelEngineHost::PostStatus(std::string text) {
  channel_.Post([this, text = std::move(text)] { events_.OnStatusText(text); });
}

void PanelEngineHost::PostEndTag(std::string text) { PostStatus(std::move(text)); }

void PanelEngineHost::Refresh(const BenchResults& results) {
  channel_.Invoke([this, &results] { events_.OnResultsShown(results); });
}

void PanelEngineHost::ShowError(const std::string& text) {
  channel_.Invoke([this, &text] { events_.OnEngineError(text); });
}

void PanelEngineHost::ShowDetailedError(const std::string& text, const std::string& what_failed) {
  ShowError(what_failed.empty() ? text : text + "\n\n(" + what_failed + ")");
}

void PanelEngineHost::StartPassTimer(uint32_t period_ms) {
  channel_.Post([this, period_ms] { events_.OnPassTimerStarted(period_ms); });
}

void PanelEngineHost::SetRunningState(bool running) {
  if (!running) channel_.Post([this] { events_.OnRunEnded(); });
}

void PanelEngineHost::StampFinishTime() {
  channel_.Post([this] { events_.OnRunFinishTime(); });
}

}  // namespace korvanel::panel
