#include "engine/run_context.h"

#include "engine/status_texts.h"

namespace korvanel {

void RunContext::PostPassStatus(std::string text) {
  if (!target.unbuffered) text += " (RAM disk, cached I/O)";
  if (target.encrypted) text += kEncryptedNote;
  host.PostStatus(std::move(text));
}

uint32_t RunContext::OpenWindow() {
  flags.window_open.store(true);
  // AbortPass lowers the flag after raising pass_aborted; checking afterwards closes the gap where
  // the abort came just before this pass opened its window.
  if (flags.pass_aborted.load()) flags.window_open.store(false);
  host.StartPassTimer(static_cast<uint32_t>(params.window_ms));
  return clock.TickMs();
}

void RunContext::StoreAndRefresh(ResultField field, double value) {
  results.Set(field, value);
  host.Refresh(results.Copy());
}

void RunContext::ErrorBox(const std::string& text, const std::string& what_failed) {
  host.ShowError(text, what_failed);
  flags.keep_running.store(false);
}

void RunContext::PlainErrorBox(EngineText text, const std::string& what_failed) {
  ErrorBox(Texts()[text], what_failed);
}

void RunContext::IoErrorBox(EngineText text, const SysError& error, const std::string& what_failed) {
  ErrorBox(IoErrorText(Texts()[text], error.code, error.description), what_failed);
}

}  // namespace korvanel
