#include "platform/console.h"

#include <csignal>

namespace korvanel::platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void PrepareOutput() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace korvanel::platform
