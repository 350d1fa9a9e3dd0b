#include "common/path_text.h"

namespace korvanel {
namespace {

constexpr char kNativeSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

bool IsSeparator(char c) { return c == '/' || c == kNativeSeparator; }

}  // namespace

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  const auto* first = reinterpret_cast<const char8_t*>(utf8.data());
  return std::filesystem::path(std::u8string(first, first + utf8.size()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  std::string base = directory;
  while (!base.empty() && IsSeparator(base.back())) base.pop_back();
  const bool native = kNativeSeparator != '/' && directory.find(kNativeSeparator) != std::string::npos;
  return base + (native ? kNativeSeparator : '/') + name;
}

}  // namespace korvanel
