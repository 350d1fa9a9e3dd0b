#include "platform/windows/console_state.h"

#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

namespace korvanel::platform {
namespace {

struct Remembered {
  std::mutex mutex;
  bool exit_arranged = false;
  UINT code_page = 0;  // 0: unchanged
  std::vector<std::pair<HANDLE, DWORD>> modes;
};

Remembered& State() {
  // Never destroyed: RestoreConsole may run from the exit handlers and from the console handler's thread.
  static Remembered* state = new Remembered;
  return *state;
}

void ArrangeRestoreAtExit(Remembered& state) {
  if (state.exit_arranged) return;
  state.exit_arranged = true;
  std::atexit(RestoreConsole);
}

}  // namespace

void RememberOutputCodePage() {
  Remembered& state = State();
  std::lock_guard lock(state.mutex);
  if (state.code_page != 0) return;
  state.code_page = GetConsoleOutputCP();
  if (state.code_page != 0) ArrangeRestoreAtExit(state);
}

void RememberConsoleMode(HANDLE console) {
  Remembered& state = State();
  std::lock_guard lock(state.mutex);
  for (const auto& [handle, mode] : state.modes) {
    if (handle == console) return;
  }
  DWORD mode = 0;
  if (!GetConsoleMode(console, &mode)) return;
  state.modes.emplace_back(console, mode);
  ArrangeRestoreAtExit(state);
}

void RestoreConsole() {
  Remembered& state = State();
  std::lock_guard lock(state.mutex);
  if (state.code_page != 0) SetConsoleOutputCP(state.code_page);
  for (const auto& [handle, mode] : state.modes) SetConsoleMode(handle, mode);
}

}  // namespace korvanel::platform
