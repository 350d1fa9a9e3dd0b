#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/terminal.h"

namespace korvanel::platform {

bool IsRewritableTerminal(std::FILE* stream) {
  if (isatty(fileno(stream)) != 1) return false;
  // An editor's shell buffer or a serial console says TERM=dumb: it prints "\r" and escape
  // sequences literally, so every update must be a line of its own.
  const char* term = std::getenv("TERM");
  return term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
}

std::optional<int> TerminalColumns(std::FILE* stream) {
  winsize size{};
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return std::nullopt;
  return size.ws_col;
}

}  // namespace korvanel::platform
