#include "app/cli/cli_app.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "app/cli/cli_benchmark.h"
#include "app/cli/result_json.h"
#include "common/path_text.h"
#include "drives/drive_list.h"
#include "drives/drive_listing.h"
#include "drives/drive_system.h"
#include "lang/languages.h"
#include "lang/translation_file.h"
#include "platform/files.h"
#include "settings/settings.h"

namespace korvanel::cli {
namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

int UsageError(const std::string& message) {
  std::fprintf(stderr, "korvanel-cli: %s\n%s\n", message.c_str(), UsageLine().c_str());
  return kExitUsage;
}

void PrintLanguages() {
  for (const LanguageMenuItem& item : ListLanguages()) {
    std::printf("%c %2d  %-22s %s / %d %%\n", item.current ? '*' : ' ', item.index, item.name.c_str(),
                item.second_name.c_str(), item.percent);
  }
}

bool IsListedLanguage(int index) {
  for (const LanguageMenuItem& item : ListLanguages()) {
    if (item.index == index) return true;
  }
  return false;
}

// What --lang N alone did, so that the user sees the choice took.
int PrintLanguageChoice() {
  for (const LanguageMenuItem& item : ListLanguages()) {
    if (item.current) std::printf("%d  %s from now on\n", item.index, item.name.c_str());
  }
  return 0;
}

int ExportTranslation() {
  const TranslationExport exported = ExportTranslationFile();
  if (!exported.written) {
    std::fprintf(stderr, "korvanel-cli: cannot write %s: %s\n", exported.path.c_str(),
                 exported.error.description.c_str());
    return kExitError;
  }
  std::printf("%s\n", exported.path.c_str());
  return 0;
}

bool IsListIndex(const std::string& text) {
  return !text.empty() && text.size() <= 2 && text.find_first_not_of("0123456789") == std::string::npos;
}

// The directory to test and, when the drive list knows the drive, its entry.
struct ChosenDrive {
  std::string directory;
  std::optional<DriveEntry> entry;
};

std::optional<ChosenDrive> ChooseDrive(const std::string& drive, const DriveTable& table, DriveSystem& system,
                                       std::string* error) {
  const int index = FindDrive(table, system, drive);
  ChosenDrive chosen;
  if (index >= 0) chosen.entry = table.Entry(index);
  if (IsListIndex(drive) && !std::filesystem::is_directory(PathFromUtf8(drive))) {
    if (index < 0) {
      *error = "--drive " + drive + ": no such drive in the list (see --list)";
      return std::nullopt;
    }
    // The drive's own place for the test: its root, or where on it the user can write.
    if (chosen.entry->TestDirectory.empty()) {
      *error = "--drive " + drive + ": " + chosen.entry->TestPlaceProblem;
      return std::nullopt;
    }
    chosen.directory = chosen.entry->TestDirectory;
    return chosen;
  }
  std::error_code ec;
  const auto path = std::filesystem::canonical(PathFromUtf8(drive), ec);
  if (ec || !std::filesystem::is_directory(path, ec)) {
    *error = "--drive " + drive + ": " + (ec ? ec.message() : "not a directory");
    return std::nullopt;
  }
  chosen.directory = Utf8FromPath(path);
  return chosen;
}

}  // namespace

int RunCli(const CliOptions& options) {
  switch (options.action) {
    case CliAction::kHelp:
      std::fputs(HelpText().c_str(), stdout);
      return 0;
    case CliAction::kVersion:
      std::printf("%s\n", GetSpecialText(19).c_str());
      return 0;
    default:
      break;
  }
  if (options.lang) {
    if (!IsListedLanguage(*options.lang)) {
      return UsageError("--lang " + std::to_string(*options.lang) + ": no such language (see --languages)");
    }
    LocateSettingsFile();  // the choice is stored: the settings file may be made now
    SelectLanguage(*options.lang);
  }
  if (options.action == CliAction::kStoreLanguage) return PrintLanguageChoice();
  if (options.action == CliAction::kLanguages) {
    PrintLanguages();
    return 0;
  }
  if (options.action == CliAction::kExportTranslation) return ExportTranslation();
  if (!options.load_translation.empty()) {
    const TranslationLoad loaded = LoadTranslationFile(options.load_translation);
    if (loaded.error) {
      return UsageError("--load-translation " + options.load_translation + ": " + loaded.error.description);
    }
    std::fprintf(stderr, "%s\n", loaded.message.c_str());
  }

  auto system = CreateDriveSystem();
  DriveList drives(*system);
  drives.SetShowVolumeLabel(ReadSettingInt("no_vol_label", 0) == 0);
  drives.Refresh();
  if (options.action == CliAction::kList) {
    const std::string listing = options.json ? DriveListJson(drives.Table().Entries(), GetSpecialText(19))
                                             : FormatDriveListing(drives.Table());
    std::fputs(listing.c_str(), stdout);
    return 0;
  }
  // Found out now, not after minutes of benchmark.
  if (!options.report_file.empty()) {
    if (const SysError unusable = platform::CheckReplaceable(options.report_file)) {
      return UsageError("--report-file " + options.report_file + ": " + unusable.description);
    }
  }
  std::string error;
  const auto chosen = ChooseDrive(options.drive, drives.Table(), *system, &error);
  if (!chosen) return UsageError(error);
  LocateSettingsFile();  // the run stores its test length
  return RunBenchmark(options, chosen->directory, chosen->entry);
}

}  // namespace korvanel::cli
