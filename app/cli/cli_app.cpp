#include "app/cli/cli_app.h"

#include <cstdio>
#include <optional>
#include <string>

#include "app/cli/cli_benchmark.h"
#include "app/cli/result_json.h"
#include "app/cli/settings_notice.h"
#include "common/display_text.h"
#include "common/path_text.h"
#include "drives/drive_list.h"
#include "drives/drive_listing.h"
#include "drives/drive_refresh.h"
#include "drives/drive_system.h"
#include "drives/test_place.h"
#include "lang/languages.h"
#include "lang/text_ids.h"
#include "lang/translation_file.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/settings.h"

namespace korvanel::cli {
namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

// Messages name what the user gave (paths, file names) and what the system answered.
int UsageError(const std::string& message) {
  std::fprintf(stderr, "korvanel-cli: %s\n%s\n", EscapeControlCharacters(message).c_str(), UsageLine().c_str());
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
  if (!exported.notice.empty()) std::fprintf(stderr, "korvanel-cli: %s\n", EscapeControlCharacters(exported.notice).c_str());
  if (!exported.written) {
    std::fprintf(stderr, "korvanel-cli: cannot write %s: %s\n", EscapeControlCharacters(exported.path).c_str(),
                 EscapeControlCharacters(exported.error.description).c_str());
    return kExitError;
  }
  std::printf("%s\n", EscapeControlCharacters(exported.path).c_str());
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
  const SysError unresolved = platform::ResolveDirectory(drive, &chosen.directory);
  if (IsListIndex(drive) && unresolved) {
    if (index < 0) {
      *error = "--drive " + drive + ": no such drive in the list (see --list)";
      return std::nullopt;
    }
    // The drive's own place for the test: its root, or where on it the user can write.
    const TestPlace place = ChooseTestPlace(system, *chosen.entry);
    if (place.directory.empty()) {
      *error = "--drive " + drive + ": " + place.problem;
      return std::nullopt;
    }
    chosen.directory = place.directory;
    return chosen;
  }
  if (unresolved) {
    *error = "--drive " + drive + ": " + unresolved.description;
    return std::nullopt;
  }
  return chosen;
}

// Without its disk's details a drive is still measured; the user learns why they are missing.
void ReportDiskProblem(const DriveSystem& system) {
  const std::string problem = system.LastDiskProblem();
  if (!problem.empty()) std::fprintf(stderr, "korvanel-cli: disk details unavailable: %s\n", problem.c_str());
}

}  // namespace

int RunCli(const CliOptions& options) {
  switch (options.action) {
    case CliAction::kHelp:
      std::fputs(HelpText().c_str(), stdout);
      return 0;
    case CliAction::kVersion:
      std::printf("%s\n", GetSpecialText(kProgramNameText).c_str());
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
    ReportRefusedSettingsWrite();
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
    std::fprintf(stderr, "%s\n", EscapeControlCharactersInLines(loaded.message).c_str());
  }

  auto system = CreateDriveSystem();
  const bool show_label = ReadSettingInt("no_vol_label", 0) == 0;
  if (options.action == CliAction::kList) {
    DriveList drives(*system);
    drives.SetShowVolumeLabel(show_label);
    drives.Refresh();
    ReportDiskProblem(*system);
    const std::string listing = options.json ? DriveListJson(drives.Table().Entries(), GetSpecialText(kProgramNameText))
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
  // A run describes only the drive it measures: identifying every disk can take seconds.
  DriveTable drives;
  drives.Replace(EnumerateDrives(*system));
  std::string error;
  auto chosen = ChooseDrive(options.drive, drives, *system, &error);
  if (!chosen) return UsageError(error);
  if (chosen->entry) {
    IdentifyDrive(*system, show_label, &*chosen->entry);
    ReportDiskProblem(*system);
  }
  LocateSettingsFile();  // the run stores its test length
  return RunBenchmark(options, chosen->directory, chosen->entry);
}

}  // namespace korvanel::cli
