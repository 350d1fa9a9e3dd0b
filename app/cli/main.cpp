// korvanel-cli: the benchmark without a window. The main thread plays the panel's part: it starts
// the run, carries out what the worker posts, owns the pass timer and prints the results.

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/cli/cli_host.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_report.h"
#include "app/cli/main_loop.h"
#include "engine/bench_engine.h"
#include "platform/clock.h"
#include "platform/storage.h"
#include "results/value_texts.h"
#include "settings/settings.h"

namespace {

using namespace korvanel;

std::atomic<int> g_stop_signal{0};

void OnStopSignal(int signal_number) { g_stop_signal.store(signal_number); }

void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

// The drive as an absolute directory; empty with `error` set when it is not one.
std::string ResolveDrive(const std::string& drive, std::string* error) {
  std::error_code ec;
  const auto path = std::filesystem::canonical(drive, ec);
  if (ec) {
    *error = "--drive " + drive + ": " + ec.message();
    return "";
  }
  if (!std::filesystem::is_directory(path, ec)) {
    *error = "--drive " + drive + ": not a directory";
    return "";
  }
  return path.string();
}

int RunBenchmark(const cli::CliOptions& options, const std::string& drive_dir) {
  const int test_time = options.length ? *options.length : ReadSettingInt("test_time_id", 1);
  cli::MainLoop loop;
  cli::CliHost host(loop, stderr, isatty(STDERR_FILENO) == 1);
  BenchEngine engine(platform::SystemStorage(), platform::SystemClock(), host);
  host.Attach(&engine);

  InstallStopSignals();
  engine.Start({options.test_id, drive_dir, test_time});
  const RunParameters params = engine.parameters();
  host.PlanRun(PlannedWindows(options.test_id, params.pass_count), params.window_ms);
  std::fprintf(stderr, "Korvanel: testing %s with %s MiB\n", drive_dir.c_str(), params.test_size_mb.c_str());

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
    std::fputs(cli::ResultsJson(results, engine.test_id(), engine.test_time()).c_str(), stdout);
  } else {
    std::fputs(cli::ResultsTable(FormatValueTexts(results), cli::PanelLabels{}, host.finish_time()).c_str(), stdout);
  }
  std::fflush(stdout);
  if (const int signal_number = g_stop_signal.load()) return 128 + signal_number;
  return host.errors().empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const cli::ParseResult parsed = cli::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "korvanel-cli: %s\n%s\n", parsed.error.c_str(), cli::UsageLine().c_str());
    return 2;
  }
  if (parsed.options.help) {
    std::fputs(cli::HelpText().c_str(), stdout);
    return 0;
  }
  LocateSettingsFile();
  std::string error;
  const std::string drive_dir = ResolveDrive(parsed.options.drive, &error);
  if (drive_dir.empty()) {
    std::fprintf(stderr, "korvanel-cli: %s\n%s\n", error.c_str(), cli::UsageLine().c_str());
    return 2;
  }
  return RunBenchmark(parsed.options, drive_dir);
}
