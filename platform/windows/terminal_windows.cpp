// The console behind a stream: rewritable when it takes virtual-terminal sequences (erase-line),
// which Windows 10 consoles do once asked (and are put back afterwards); its width from the screen
// buffer's window.

#include <windows.h>
#include <io.h>

#include "platform/terminal.h"
#include "platform/windows/console_state.h"

namespace korvanel::platform {
namespace {

HANDLE ConsoleOf(std::FILE* stream) {
  const int descriptor = _fileno(stream);
  if (descriptor < 0 || !_isatty(descriptor)) return nullptr;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

}  // namespace

bool IsRewritableTerminal(std::FILE* stream) {
  const HANDLE console = ConsoleOf(stream);
  if (console == nullptr) return false;
  DWORD mode = 0;
  GetConsoleMode(console, &mode);
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  // Put back when the program ends (console_state.h).
  RememberConsoleMode(console);
  return SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

std::optional<int> TerminalColumns(std::FILE* stream) {
  const HANDLE console = ConsoleOf(stream);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (console == nullptr || !GetConsoleScreenBufferInfo(console, &info)) return std::nullopt;
  const int columns = info.srWindow.Right - info.srWindow.Left + 1;
  return columns > 0 ? std::optional<int>(columns) : std::nullopt;
}

}  // namespace korvanel::platform
