#pragma once
// The engine's host in the panel: everything the engine's worker reports is carried over to the
// view's thread in the order it came, where the panel acts on it. Values and error boxes are
// synchronous; the worker waits until the panel has shown them.

#include <string>

#include "ui/panel/ui_channel.h"
#include "engine/engine_host.h"

namespace korvanel::panel {

// What the panel does with the engine's reports, always on the view's thread.
class EngineEvents {
 public:
  virtual ~EngineEvents() = default;
  virtual void OnStatusText(const std::string& text) = 0;
  virtual void OnResultsShown(const BenchResults& results) = 0;
  virtual void OnEngineError(const std::string& text) = 0;
  virtual void OnPassTimerStarted(uint32_t period_ms) = 0;
  virtual void OnRunEnded() = 0;
};

class PanelEngineHost : public EngineHost {
 public:
  PanelEngineHost(UiChannel& channel, EngineEvents& events) : channel_(channel), events_(events) {}

  void PostStatus(std::string text) override;
  void Refresh(const BenchResults& results) override;
  // The box also says what failed on which path, so the user knows where to look.
  void ShowError(const std::string& text, const std::string& what_failed) override;
  void StartPassTimer(uint32_t period_ms) override;
  void PostRunEnded() override;

 private:
  UiChannel& channel_;
  EngineEvents& events_;
};

}  // namespace korvanel::panel
