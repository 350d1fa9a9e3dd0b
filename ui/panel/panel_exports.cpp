// What leaves the panel: web pages, system tools, the settings file, the comparison report, the
// screenshot, the results as text and the translation files.
#include <cerrno>
#include <chrono>
#include <ctime>

#include "common/display_text.h"
#include "ui/panel/menu_model.h"
#include "ui/panel/panel.h"
#include "ui/panel/panel_ids.h"
#include "ui/panel/results_text.h"
#include "ui/panel/web_links.h"
#include "export/comparison_report.h"
#include "export/screenshot_naming.h"
#include "lang/languages.h"
#include "lang/text_ids.h"
#include "lang/translation_file.h"
#include "results/measured_values.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "results/locale_date_time.h"
#include "settings/settings.h"

namespace korvanel::panel {
namespace {

constexpr const char* kTemporaryPictureName = "Korvanel_tmp.png";

std::optional<platform::SystemTool> ToolForCommand(int command) {
  using platform::SystemTool;
  switch (command) {
    case kCommandTaskManager: return SystemTool::kTaskManager;
    case kCommandSystemSettings: return SystemTool::kSystemSettings;
    case kCommandSystemInformation: return SystemTool::kSystemInformation;
    case kCommandOptimizeDrive: return SystemTool::kDriveOptimizer;
    case kCommandComputerManagement: return SystemTool::kComputerManagement;
    case kCommandDiskManagement: return SystemTool::kDiskManagement;
    default: return std::nullopt;
  }
}

std::chrono::year_month_day Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  // Only the view's thread asks, so the shared buffer of localtime is safe.
  if (const std::tm* converted = std::localtime(&now)) local = *converted;
  return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                     std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                     std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

SysError DrawingFailed() {
  SysError error = SysError::FromErrno(EIO);
  error.description = "the panel could not be drawn";
  return error;
}

}  // namespace

bool Panel::HasCommand(int command) {
  const std::optional<platform::SystemTool> tool = ToolForCommand(command);
  return !tool || desktop_.HasTool(*tool);
}

platform::OpenOutcome Panel::OpenOnDesktop(const std::string& path) {
  platform::OpenOutcome opened;
  opened.error = desktop_.OpenFile(path);
  opened.launched = !opened.error;
  return opened;
}

void Panel::ReportFailure(const std::string& what, const SysError& error) {
  view_.ShowError(what + ":\n" + error.description);
}

void Panel::TellNotice(const std::string& notice) {
  if (!notice.empty()) view_.SetControlText(kControlStatus, EscapeControlCharacters(notice));
}

void Panel::TellRefusedSettingsWrite() {
  const SysError refused = SettingsWriteProblem();
  // An unreadable file was told when the panel opened.
  if (!refused || told_refused_settings_write_ || SettingsFileProblem()) return;
  told_refused_settings_write_ = true;
  view_.ShowError("Settings file " + SettingsPath() + ":\n" + refused.description + "\n(the change is not stored)");
}

void Panel::OpenPage(int command) {
  const std::optional<std::string> page = PageForCommand(command);
  if (!page) return;
  if (const SysError error = desktop_.OpenPage(*page)) ReportFailure("Cannot open " + *page, error);
}

void Panel::StartSystemTool(int command) {
  const std::optional<platform::SystemTool> tool = ToolForCommand(command);
  if (!tool) return;
  if (const SysError error = desktop_.StartTool(*tool, "")) ReportFailure("Cannot start the tool", error);
}

void Panel::OpenSettingsFile() {
  const std::string path = SettingsPath();
  if (const SysError error = desktop_.OpenFile(path)) ReportFailure("Cannot open " + path, error);
}

void Panel::ShowInfo() {
  std::string text;
  for (int id = kSequentialInfoText; id <= kAccessTimeInfoText; ++id) text += GetText(id) + "\n";
  view_.ShowInformation(GetText(kInfoText), text);
}

void Panel::OpenComparisonReport() {
  const std::optional<DriveEntry> drive = SelectedDrive();
  if (!drive) return;
  // A stopped or failed run, or none, has nothing that the comparison site could rank.
  if (!results_complete_) {
    return view_.ShowInformation(GetText(kInfoText),
                                 GetText(kTestNotCompletedText) + "\n" + GetText(kOnlyCompleteTestsText));
  }
  ComparisonReportInput input;
  input.drive = *drive;
  input.results = engine_.results();
  input.test_time = engine_.test_time();
  input.test_id = engine_.test_id();
  input.program = GetSpecialText(kProgramNameText);
  input.os = {os_.major, os_.minor, os_.build, os_.service_pack};
  input.site_address = SiteAddress();
  const ComparisonReportOutcome outcome =
      WriteComparisonReport(input, [this](const std::string& path) { return OpenOnDesktop(path); });
  if (outcome.error) return ReportFailure("Cannot open the comparison page", outcome.error);
  TellNotice(outcome.notice);
}

void Panel::ScreenshotToFile() {
  std::optional<std::string> model;
  if (const std::optional<DriveEntry> drive = SelectedDrive()) model = drive->Model;
  const LocaleDateTime now = RefreshLocaleDateTime();
  const std::string proposed = ProposedScreenshotName(model, Today(), now.time_text);
  const std::optional<std::string> chosen = view_.AskSaveFileName(proposed);
  const std::string picture = view_.RenderPng();
  if (!chosen) {
    // A cancelled dialog still leaves the picture in the temporary file, as "to paint" does.
    if (!picture.empty()) platform::WritePrivateTempFile(kTemporaryPictureName, {picture});
    return;
  }
  const std::string path = WithPngExtension(*chosen);
  const SysError error = picture.empty() ? DrawingFailed() : platform::ReplaceFile(path, {picture});
  if (error) ReportFailure("Cannot save " + path, error);
}

void Panel::ScreenshotToPaint() {
  const std::string picture = view_.RenderPng();
  if (picture.empty()) return ReportFailure(std::string("Cannot write ") + kTemporaryPictureName, DrawingFailed());
  const platform::PrivateFile file = platform::WritePrivateTempFile(kTemporaryPictureName, {picture});
  if (file.error) return ReportFailure("Cannot write " + file.path, file.error);
  TellNotice(file.notice);
  // Without a paint program the picture opens in the desktop's image viewer.
  const SysError error = desktop_.HasTool(platform::SystemTool::kPictureEditor)
                             ? desktop_.StartTool(platform::SystemTool::kPictureEditor, file.path)
                             : desktop_.OpenFile(file.path);
  if (error) ReportFailure("Cannot open " + file.path, error);
}

void Panel::CopyResults() {
  ResultsTextInput input;
  input.title = texts_.title;
  if (const std::optional<DriveEntry> drive = SelectedDrive()) input.drive_summary = drive->Root + "\n" + drive->Summary;
  const int size = view_.SizeSelection();
  if (size >= 0 && size < static_cast<int>(texts_.sizes.size())) input.test_length = texts_.sizes[size];
  // The same values as on show, with "-" also where the panel still shows its template texts.
  input.values = ShownValueTexts(engine_.results());
  // The time of the run, not of the last clock reading (a screenshot reads it too).
  input.finish_time = last_run_time_;
  view_.CopyToClipboard(ResultsText(input));
}

void Panel::ShowLanguageMenu() {
  const int chosen = view_.ChooseFromLanguageMenu(BuildLanguageMenu());
  if (chosen >= kLanguageCommandBase && chosen <= kLanguageCommandLast) {
    if (SelectLanguage(chosen - kLanguageCommandBase)) SetUp();
    TellRefusedSettingsWrite();
  } else if (chosen == kCommandTranslate) {
    ExportTranslation();
  } else if (chosen == kCommandLoadTranslation) {
    LoadTranslation();
  }
}

void Panel::ExportTranslation() {
  const TranslationExport exported = ExportTranslationFile([this](const std::string& path) { return OpenOnDesktop(path); });
  if (exported.error) {
    return ReportFailure(std::string(exported.written ? "Cannot open " : "Cannot write ") + exported.path, exported.error);
  }
  TellNotice(exported.notice);
}

void Panel::LoadTranslation() {
  if (const std::optional<std::string> path = view_.AskOpenFileName()) {
    const TranslationLoad loaded = LoadTranslationFile(*path);
    if (loaded.error) {
      ReportFailure("Cannot read " + *path, loaded.error);
    } else {
      view_.ShowInformation("Translate", loaded.message);
    }
  }
  // Also after a cancelled dialog, as the texts may have come from an earlier file.
  SetUp();
}

}  // namespace korvanel::panel
