#include "app/cli/cli_benchmark.h"

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "app/cli/cli_host.h"
#include "app/cli/main_loop.h"
#include "results/measured_values.h"
#include "app/cli/result_json.h"
#include "app/cli/result_table.h"
#include "app/cli/settings_notice.h"
#include "common/display_text.h"
#include "common/sys_error.h"
#include "engine/bench_engine.h"
#include "export/comparison_report.h"
#include "lang/languages.h"
#include "lang/text_ids.h"
#include "platform/clock.h"
#include "platform/os_version.h"
#include "platform/stop_requests.h"
#include "platform/storage.h"
#include "platform/terminal.h"
#include "settings/settings.h"

namespace korvanel::cli {
namespace {

constexpr int kExitError = 1;

ComparisonReportInput ReportInput(const BenchEngine& engine, const DriveEntry& drive) {
  ComparisonReportInput input;
  input.drive = drive;
  input.results = engine.results();
  input.test_time = engine.test_time();
  input.test_id = engine.test_id();
  input.program = GetSpecialText(kProgramNameText);
  const platform::SystemVersion version = platform::CurrentSystemVersion();
  input.os = {version.major, version.minor, version.build, version.service_pack};
  input.site_address = SiteAddress();
  return input;
}

// Writes the comparison page as the options ask; returns false after reporting a failure.
bool WriteReport(const CliOptions& options, const BenchEngine& engine, const DriveEntry& drive) {
  const ComparisonReportInput input = ReportInput(engine, drive);
  if (!options.report_file.empty()) {
    const SysError error = WriteComparisonReportFile(options.report_file, input);
    if (error) {
      std::fprintf(stderr, "korvanel-cli: cannot write %s: %s\n", EscapeControlCharacters(options.report_file).c_str(),
                   EscapeControlCharacters(error.description).c_str());
    }
    return !error;
  }
  const ComparisonReportOutcome outcome = WriteComparisonReport(input);
  if (!outcome.notice.empty()) std::fprintf(stderr, "korvanel-cli: %s\n", EscapeControlCharacters(outcome.notice).c_str());
  if (outcome.page_path.empty()) {
    std::fprintf(stderr, "korvanel-cli: cannot write the report page: %s\n",
                 EscapeControlCharacters(outcome.error.description).c_str());
    return false;
  }
  const std::string page = EscapeControlCharacters(outcome.page_path);
  if (outcome.opened) {
    std::fprintf(stderr, "Report page opened in the browser: %s\n", page.c_str());
  } else {
    std::fprintf(stderr, "Report page written (open it in a browser): %s\n", page.c_str());
  }
  return true;
}

// Carries Ctrl+C over to the engine: the first stops after the current pass, the second ends that
// pass at once. Polled on the main loop, never inside the signal handler.
class StopRequestRelay {
 public:
  StopRequestRelay(BenchEngine& engine, CliHost& host) : engine_(engine), host_(host) {}

  void Poll() {
    const int requests = platform::StopRequestCount();
    if (requests >= 1 && !stop_requested_) {
      stop_requested_ = true;
      engine_.RequestStop();
      host_.Announce("Stopping after the current pass (Ctrl+C again: at once); the test file is then removed...");
    }
    if (requests >= 2 && !pass_aborted_) {
      pass_aborted_ = true;
      engine_.AbortPass();
      host_.Announce("Stopping now; the test file is being removed...");
    }
  }
  bool stopped() const { return stop_requested_; }

 private:
  BenchEngine& engine_;
  CliHost& host_;
  bool stop_requested_ = false;
  bool pass_aborted_ = false;
};

// What the drive is, in brackets after the directory: the disk's model, or for a drive without one
// (a RAM or network disk) its file system; nothing when neither is known.
std::string DriveNote(const std::optional<DriveEntry>& drive) {
  if (!drive) return "";
  const std::string& what = drive->Model.empty() ? drive->FileSystem : drive->Model;
  return what.empty() ? "" : " (" + what + ")";
}

RunState StateOf(const CliHost& host, bool stopped) {
  // An error outranks a stop: the run did not end the way the user asked for.
  if (!host.failures().empty()) return RunState::kFailed;
  return stopped ? RunState::kStopped : RunState::kCompleted;
}

void PrintResults(const CliOptions& options, const RunRecord& record, const std::string& finish_time) {
  if (options.json) {
    std::fputs(RunJson(record).c_str(), stdout);
  } else if (record.state != RunState::kFailed) {
    // After an error the error is the result; a table would only show what never ran.
    const TableNotes notes{record.state, AnythingUnmeasured(record.results), finish_time};
    const std::optional<int> columns = platform::TerminalColumns(stdout);
    const std::optional<size_t> width = columns ? std::optional<size_t>(*columns) : std::nullopt;
    std::fputs(ResultsTable(ShownValueTexts(record.results), LanguagePanelLabels(), notes, width).c_str(), stdout);
  }
  std::fflush(stdout);
}

}  // namespace

int RunBenchmark(const CliOptions& options, const std::string& directory, const std::optional<DriveEntry>& drive) {
  RunRecord record;
  record.program = GetSpecialText(kProgramNameText);
  record.test_id = options.test_id;
  record.test_time = options.length ? *options.length : ReadTestTimeSetting();
  record.directory = directory;
  record.drive = drive;

  MainLoop loop;
  ProgressTerminal terminal{stderr, platform::IsRewritableTerminal(stderr), [] { return platform::TerminalColumns(stderr); }};
  CliHost host(loop, terminal);
  BenchEngine engine(platform::SystemStorage(), platform::SystemClock(), host);
  host.Attach(&engine);
  engine.SetTexts(LanguageEngineTexts());
  StopRequestRelay stops(engine, host);
  platform::InstallStopRequestHandlers();

  // Planned before the start, so the worker's first window is already counted against the plan.
  record.params = ParametersForTestTime(record.test_time, engine.parameters());
  host.PlanRun(PlannedWindows(options.test_id, record.params.pass_count), record.params.window_ms);
  record.start_time = IsoLocalTime(std::time(nullptr));
  engine.Start({options.test_id, directory, record.test_time});
  ReportRefusedSettingsWrite();  // the start stores the test length
  std::fprintf(stderr, "%s: testing %s%s with %s MiB\n", record.program.c_str(),
               EscapeControlCharacters(directory).c_str(), EscapeControlCharacters(DriveNote(drive)).c_str(),
               record.params.test_size_mb.c_str());

  loop.Run([&] { return !engine.run_exists(); },
           [&] {
             stops.Poll();
             host.DrawProgress();
           });
  engine.WaitForRun();
  // The test file is gone: a console window that is being closed may let the process end now.
  platform::ReportCleanupDone();
  host.FinishProgress();

  record.end_time = IsoLocalTime(std::time(nullptr));
  record.results = engine.results();
  record.state = StateOf(host, stops.stopped());
  if (record.state == RunState::kFailed) {
    record.error = host.failures().front().text;
    record.what_failed = host.failures().front().what_failed;
  }
  PrintResults(options, record, host.finish_time());
  // Results that never reached their reader (a full disk, a closed pipe) are a failure.
  const bool results_written = std::fflush(stdout) == 0 && !std::ferror(stdout);
  if (!results_written) {
    const std::string reason = SysError::FromErrno(errno).description;
    std::fprintf(stderr, "korvanel-cli: cannot write the results: %s\n", reason.c_str());
  }

  bool report_ok = true;
  if (options.report || !options.report_file.empty()) {
    // The page posts to the comparison site as soon as it opens: only a complete run may go there.
    if (record.state != RunState::kCompleted) {
      std::fprintf(stderr, "korvanel-cli: no comparison report: the run %s\n",
                   record.state == RunState::kFailed ? "failed" : "was stopped");
    } else if (engine.passes_lost_to_pauses() > 0) {
      std::fprintf(stderr, "korvanel-cli: no comparison report: a pass was paused every time it ran\n");
    } else {
      DriveEntry described = drive.value_or(DriveEntry{});
      if (described.Root.empty()) described.Root = directory;
      report_ok = WriteReport(options, engine, described);
    }
  }
  if (record.state == RunState::kFailed) return kExitError;
  if (record.state == RunState::kStopped) return platform::StopRequestExitCode();
  return report_ok && results_written ? 0 : kExitError;
}

}  // namespace korvanel::cli
