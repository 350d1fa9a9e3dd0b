#pragma once
// Paths as the rest of the program holds them: UTF-8 text. std::filesystem takes a narrow string in
// the system's code page on Windows, so every path crosses into std::filesystem through these.

#include <filesystem>
#include <string>
#include <string_view>

namespace korvanel {

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// `name` inside `directory`: trailing separators of `directory` dropped, then one separator, the
// one `directory` already uses ("C:\" gives "C:\name", "/mnt/x/" gives "/mnt/x/name").
std::string JoinPath(const std::string& directory, const std::string& name);

}  // namespace korvanel
