#include "common/replace_file.h"

#include "common/new_file.h"
#include "common/path_text.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace korvanel {
namespace {

constexpr int kNameAttempts = 16;

SysError FromErrorCode(const std::error_code& error) { return SysError{error.value(), error.message()}; }

std::string TemporaryNameBeside(const std::string& path) {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  return path + ".tmp" + std::to_string(generator() % 1000000000);
}

// Created exclusively, so a name that someone else holds (or a link placed there) is never opened;
// another name is tried instead.
std::FILE* CreateTemporaryBeside(const std::string& path, std::string* temporary, SysError* error) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    *temporary = TemporaryNameBeside(path);
    if (std::FILE* file = CreateNewFileForWriting(*temporary, error)) return file;
    if (!error->Is(EEXIST)) return nullptr;
  }
  return nullptr;
}

int WritePieces(std::FILE* file, const std::vector<std::string>& pieces) {
  for (const std::string& piece : pieces) {
    errno = 0;
    if (std::fwrite(piece.data(), 1, piece.size(), file) != piece.size()) return errno != 0 ? errno : EIO;
  }
  return 0;
}

int WriteAndClose(std::FILE* file, const std::vector<std::string>& pieces) {
  int error = WritePieces(file, pieces);
  errno = 0;
  // A full disk often shows only when the buffered rest is flushed by fclose.
  if (std::fclose(file) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  return error;
}

}  // namespace

SysError ReplaceFileWithPieces(const std::string& path, const std::vector<std::string>& pieces) {
  namespace fs = std::filesystem;
  std::error_code status_error;
  fs::path target = PathFromUtf8(path);
  // Renaming over a link would turn it into a plain file; a linked file stays linked.
  if (fs::is_symlink(fs::symlink_status(target, status_error))) {
    target = fs::canonical(target, status_error);
    if (status_error) return FromErrorCode(status_error);
  }
  std::string temporary;
  SysError create_error;
  std::FILE* file = CreateTemporaryBeside(Utf8FromPath(target), &temporary, &create_error);
  if (file == nullptr) return create_error;
  const int error = WriteAndClose(file, pieces);
  std::error_code ignored;
  const fs::path written = PathFromUtf8(temporary);
  if (error != 0) {
    fs::remove(written, ignored);
    return SysError::FromErrno(error);
  }
  const fs::file_status old_status = fs::status(target, status_error);
  if (!status_error && fs::exists(old_status)) fs::permissions(written, old_status.permissions(), ignored);
  std::error_code renamed;
  fs::rename(written, target, renamed);
  if (renamed) {
    fs::remove(written, ignored);
    return FromErrorCode(renamed);
  }
  return {};
}

}  // namespace korvanel
