#include "engine/run_context.h"

#include "engine/status_texts.h"

namespace korvanel {

void RunContext::PostPassStatus(std::string text) {
  if (!target.unbuffered) text += " (RAM disk, cached I/O)";
  host.PostStatus(std::move(text));
}

uint32_t RunContext::OpenWindow() {
  flags.window_open.store(true);
  host.StartPassTimer(static_cast<uint32_t>(params.window_ms));
  return clock.TickMs();
}

void RunContext::StoreAndRefresh(ResultField field, double value) {
  results.Set(field, value);
  host.Refresh(results.Copy());
}

void RunContext::ErrorBox(const std::string& text) {
  host.ShowError(text);
  flags.keep_running.store(false);
}

void RunContext::PlainErrorBox(EngineText text) { ErrorBox(Texts()[text]); }

void RunContext::IoErrorBox(EngineText text, const SysError& error) {
  ErrorBox(IoErrorText(Texts()[text], error.code, error.description));
}

}  // namespace korvanel
