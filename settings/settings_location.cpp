#include <filesystem>
#include <fstream>

#include "platform/paths.h"
#include "settings/settings.h"

namespace korvanel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFileName = "Korvanel.ini";
constexpr const char* kConfigFolder = "Korvanel";

// `path` with doubled slashes collapsed and exactly one trailing slash, for prefix tests that
// must not take "/tmpfiles/" to lie under "/tmp/".
std::string AsDirectoryPrefix(const std::string& path) {
  std::string result;
  for (char c : path) {
    if (!(c == '/' && !result.empty() && result.back() == '/')) result += c;
  }
  if (result.empty() || result.back() != '/') result += '/';
  return result;
}

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

// The temporary directory with links resolved, since the executable's path comes resolved.
std::string ResolvedTempDirectory() {
  std::error_code error;
  const fs::path resolved = fs::weakly_canonical(platform::TempDirectory(), error);
  return error ? platform::TempDirectory() : resolved.string();
}

}  // namespace

std::string ChooseSettingsPath(const std::string& exe_dir, const std::string& temp_dir,
                               const std::string& config_dir) {
  const std::string beside_program = exe_dir + "/" + kFileName;
  const bool under_temp = AsDirectoryPrefix(exe_dir).starts_with(AsDirectoryPrefix(temp_dir));
  if (!exe_dir.empty() && !under_temp && IsRegularFile(beside_program)) return beside_program;
  return config_dir + "/" + kConfigFolder + "/" + kFileName;
}

// The settings path for this process.
static std::string ThisProcessSettingsPath() {
  return ChooseSettingsPath(ProgramDirectory(), ResolvedTempDirectory(), platform::UserConfigDirectory());
}

void FindSettingsFile() { SetSettingsPath(ThisProcessSettingsPath()); }

void LocateSettingsFile() {
  const std::string path = ThisProcessSettingsPath();
  std::error_code error;
  fs::create_directories(fs::path(path).parent_path(), error);
  // Only a missing file is created: opening whatever lies there could block (a FIFO) or act (a
  // device), and a link is left to the rules of the writes.
  if (fs::symlink_status(path, error).type() == fs::file_type::not_found) std::ofstream create(path);
  SetSettingsPath(path);
}

std::string ProgramDirectory() {
  static const std::string directory = [] {
    const std::string executable = platform::ExecutablePath();
    const size_t slash = executable.rfind('/');
    return slash == std::string::npos ? std::string() : executable.substr(0, slash);
  }();
  return directory;
}

}  // namespace korvanel
