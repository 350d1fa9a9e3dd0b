#include "platform/console.h"

namespace korvanel::platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseUtf8Output() {}

}  // namespace korvanel::platform
