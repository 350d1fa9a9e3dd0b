#include "app/cli/cli_benchmark.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/cli/cli_host.h"
#include "app/cli/cli_report.h"
#include "app/cli/main_loop.h"
#include "common/display_text.h"
#include "engine/bench_engine.h"
#include "export/comparison_report.h"
#include "lang/languages.h"
#include "platform/clock.h"
#include "platform/os_version.h"
#include "platform/storage.h"
#include "results/value_texts.h"
#include "settings/settings.h"

namespace korvanel::cli {
namespace {

std::atomic<int> g_stop_signal{0};

void OnStopSignal(int signal_number) { g_stop_signal.store(signal_number); }

// Ctrl+C, a terminal hang-up or a polite kill ask the run to stop; cleanup still removes the file.
void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

ComparisonReportInput ReportInput(const BenchEngine& engine, const DriveEntry& drive) {
  ComparisonReportInput input;
  input.drive = drive;
  input.results = engine.results();
  input.test_time = engine.test_time();
  input.test_id = engine.test_id();
  input.program = GetSpecialText(19);
  const platform::SystemVersion version = platform::CurrentSystemVersion();
  input.os = {version.major, version.minor, version.build, ""};
  // German has a site of its own.
  input.site_address = GetSpecialText(CurrentLanguage() == 0 ? 21 : 20);
  return input;
}

// Writes the comparison page as the options ask; returns false after reporting a failure.
bool WriteReport(const CliOptions& options, const BenchEngine& engine, const DriveEntry& drive) {
  const ComparisonReportInput input = ReportInput(engine, drive);
  if (!options.report_file.empty()) {
    const SysError error = WriteComparisonReportFile(options.report_file, input);
    if (error) std::fprintf(stderr, "korvanel-cli: cannot write %s: %s\n", options.report_file.c_str(), error.description.c_str());
    return !error;
  }
  const ComparisonReportOutcome outcome = WriteComparisonReport(input);
  if (outcome.page_path.empty()) {
    std::fprintf(stderr, "korvanel-cli: cannot write the report page: %s\n", outcome.error.description.c_str());
    return false;
  }
  if (outcome.opened) {
    std::fprintf(stderr, "Report page opened in the browser: %s\n", outcome.page_path.c_str());
  } else {
    std::fprintf(stderr, "Report page written (open it in a browser): %s\n", outcome.page_path.c_str());
  }
  return true;
}

}  // namespace

int RunBenchmark(const CliOptions& options, const std::string& directory, const std::optional<DriveEntry>& drive) {
  const int test_time = options.length ? *options.length : ReadTestTimeSetting();
  MainLoop loop;
  CliHost host(loop, stderr, isatty(STDERR_FILENO) == 1);
  BenchEngine engine(platform::SystemStorage(), platform::SystemClock(), host);
  host.Attach(&engine);
  engine.SetTexts(LanguageEngineTexts());

  InstallStopSignals();
  // Planned before the start, so the worker's first window is already counted against the plan.
  const RunParameters params = ParametersForTestTime(test_time, engine.parameters());
  host.PlanRun(PlannedWindows(options.test_id, params.pass_count), params.window_ms);
  engine.Start({options.test_id, directory, test_time});
  const std::string model = drive ? " (" + drive->Model + ")" : "";
  std::fprintf(stderr, "%s: testing %s%s with %s MiB\n", GetSpecialText(19).c_str(),
               EscapeControlCharacters(directory).c_str(), EscapeControlCharacters(model).c_str(),
               params.test_size_mb.c_str());

  bool stop_announced = false;
  loop.Run([&] { return !engine.run_exists(); },
           [&] {
             if (g_stop_signal.load() && !stop_announced) {
               stop_announced = true;
               engine.RequestStop();
               host.FinishProgress();
               std::fprintf(stderr, "Stopping after the current pass; the test file is being removed...\n");
             }
             host.DrawProgress();
           });
  engine.WaitForRun();
  host.FinishProgress();

  const BenchResults results = engine.results();
  if (options.json) {
    const std::string json = ResultsJson(results, engine.test_id(), engine.test_time(), drive ? &*drive : nullptr);
    std::fputs(json.c_str(), stdout);
  } else {
    std::fputs(ResultsTable(FormatValueTexts(results), LanguagePanelLabels(), host.finish_time()).c_str(), stdout);
  }
  // Results that never reached their reader (a full disk, a closed pipe) are a failure.
  const bool results_written = std::fflush(stdout) == 0 && !std::ferror(stdout);
  if (!results_written) std::fprintf(stderr, "korvanel-cli: cannot write the results: %s\n", std::strerror(errno));

  const int signal_number = g_stop_signal.load();
  const bool failed = !host.errors().empty();
  bool report_ok = true;
  if (options.report || !options.report_file.empty()) {
    // The page posts to the comparison site as soon as it opens: only a complete run may go there.
    if (failed || signal_number != 0) {
      std::fprintf(stderr, "korvanel-cli: no comparison report: the run %s\n", failed ? "failed" : "was stopped");
    } else {
      DriveEntry described = drive.value_or(DriveEntry{});
      if (described.Root.empty()) described.Root = directory;
      report_ok = WriteReport(options, engine, described);
    }
  }
  if (signal_number != 0) return 128 + signal_number;
  return !failed && report_ok && results_written ? 0 : 1;
}

}  // namespace korvanel::cli
