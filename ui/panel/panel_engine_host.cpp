#include "ui/panel/panel_engine_host.h"

namespace korvanel::panel {

void PanelEngineHost::PostStatus(std::string text) {
  channel_.Post([this, text = std::move(text)] { events_.OnStatusText(text); });
}

void PanelEngineHost::Refresh(const BenchResults& results) {
  channel_.Invoke([this, &results] { events_.OnResultsShown(results); });
}

void PanelEngineHost::ShowError(const std::string& text, const std::string& what_failed) {
  const std::string box = what_failed.empty() ? text : text + "\n\n(" + what_failed + ")";
  channel_.Invoke([this, &box] { events_.OnEngineError(box); });
}

void PanelEngineHost::StartPassTimer(uint32_t period_ms) {
  channel_.Post([this, period_ms] { events_.OnPassTimerStarted(period_ms); });
}

void PanelEngineHost::PostRunEnded() {
  channel_.Post([this] { events_.OnRunEnded(); });
}

}  // namespace korvanel::panel
