#include "settings/whole_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace korvanel {
namespace {

namespace fs = std::filesystem;

// A name beside `target` that nobody uses yet, opened exclusively so no other file is clobbered.
std::FILE* CreateSibling(const fs::path& target, fs::path& sibling) {
  std::random_device entropy;
  for (int attempt = 0; attempt < 16; ++attempt) {
    sibling = target;
    sibling += ".tmp" + std::to_string(entropy());
    if (std::FILE* file = std::fopen(sibling.c_str(), "wbx")) return file;
  }
  return nullptr;
}

bool WriteAndClose(std::FILE* file, const std::string& content) {
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  const bool flushed = std::fflush(file) == 0;
  return (std::fclose(file) == 0) && written && flushed;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return content;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
  std::error_code error;
  fs::path target = path;
  // Renaming over a link would turn it into a plain file; a linked settings file stays linked.
  if (fs::is_symlink(fs::symlink_status(target, error))) {
    target = fs::canonical(target, error);
    if (error) return false;
  }

  fs::path sibling;
  std::FILE* file = CreateSibling(target, sibling);
  if (file == nullptr) return false;
  bool replaced = WriteAndClose(file, content);
  if (replaced) {
    const fs::file_status old_status = fs::status(target, error);
    if (!error && fs::exists(old_status)) fs::permissions(sibling, old_status.permissions(), error);
    else error.clear();
    if (!error) fs::rename(sibling, target, error);
    replaced = !error;
  }
  if (!replaced) fs::remove(sibling, error);
  return replaced;
}

}  // namespace korvanel
