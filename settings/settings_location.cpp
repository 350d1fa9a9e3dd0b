#include <filesystem>
#include <fstream>

#include "common/path_text.h"
#include "platform/paths.h"
#include "settings/settings.h"

namespace korvanel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFileName = "Korvanel.ini";
constexpr const char* kConfigFolder = "Korvanel";

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(PathFromUtf8(path), error);
}

}  // namespace

std::string ChooseSettingsPath(const std::string& exe_dir, const std::string& temp_dir,
                               const std::string& config_dir) {
  const std::string beside_program = JoinPath(exe_dir, kFileName);
  const bool under_temp = platform::PathLiesUnder(exe_dir, temp_dir);
  if (!exe_dir.empty() && !under_temp && IsRegularFile(beside_program)) return beside_program;
  return JoinPath(JoinPath(config_dir, kConfigFolder), kFileName);
}

// The settings path for this process.
static std::string ThisProcessSettingsPath() {
  return ChooseSettingsPath(ProgramDirectory(), platform::TempDirectory(), platform::UserConfigDirectory());
}

void FindSettingsFile() { SetSettingsPath(ThisProcessSettingsPath()); }

void LocateSettingsFile() {
  const std::string path = ThisProcessSettingsPath();
  std::error_code error;
  const fs::path file = PathFromUtf8(path);
  fs::create_directories(file.parent_path(), error);
  // Only a missing file is created: opening whatever lies there could block (a FIFO) or act (a
  // device), and a link is left to the rules of the writes.
  if (fs::symlink_status(file, error).type() == fs::file_type::not_found) std::ofstream create(file);
  SetSettingsPath(path);
}

std::string ProgramDirectory() {
  static const std::string directory = [] {
    const std::string executable = platform::ExecutablePath();
    return executable.empty() ? std::string() : Utf8FromPath(PathFromUtf8(executable).parent_path());
  }();
  return directory;
}

}  // namespace korvanel
