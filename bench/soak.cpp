// korvanel-soak DIR RUNS [TEST]: runs single tests one after the other in one process, as a panel
// left open all day does, and prints per run the memory, open descriptors and threads. A leak shows
// as a figure that grows from run to run; bench/soak.sh runs it and judges the figures.
//
// TEST is seq, 4k, 512k, qd64 or access; without it the five take turns. Every run uses the quick
// length (100 MiB file, 600 ms windows). The settings file is not touched.

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/cli/cli_host.h"
#include "app/cli/cli_options.h"
#include "app/cli/main_loop.h"
#include "engine/bench_engine.h"
#include "platform/clock.h"
#include "platform/storage.h"

namespace {

using namespace korvanel;

// A value from /proc/self/status in KiB ("VmHWM", "VmRSS") or as a count ("Threads").
long StatusValue(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(key + ":", 0) == 0) return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
  }
  return -1;
}

int OpenDescriptors() {
  int count = 0;
  if (DIR* fds = opendir("/proc/self/fd")) {
    while (const dirent* entry = readdir(fds)) count += entry->d_name[0] != '.';
    closedir(fds);
    --count;  // the listing's own descriptor
  }
  return count;
}

struct Peaks {
  int fds = 0;
  long threads = 0;
  void Sample() {
    fds = std::max(fds, OpenDescriptors());
    threads = std::max(threads, StatusValue("Threads"));
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: korvanel-soak DIR RUNS [seq|4k|512k|qd64|access]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const int runs = std::atoi(argv[2]);
  std::vector<std::string> tests = {"seq", "4k", "512k", "qd64", "access"};
  if (argc == 4) tests = {argv[3]};
  for (const std::string& test : tests) {
    if (!cli::TestIdForName(test)) {
      std::fprintf(stderr, "korvanel-soak: unknown test '%s'\n", test.c_str());
      return 2;
    }
  }

  std::FILE* quiet = std::fopen("/dev/null", "w");
  cli::MainLoop loop;
  cli::CliHost host(loop, cli::ProgressTerminal{quiet, false});
  BenchEngine engine(platform::SystemStorage(), platform::SystemClock(), host);
  host.Attach(&engine);

  std::printf("run  test    peak_rss_kib  rss_kib  fds_during  fds_after  threads_during  threads_after  errors\n");
  size_t reported = 0;  // the errors printed so far; the host writes them to the quiet output
  for (int run = 1; run <= runs; ++run) {
    const std::string& test = tests[static_cast<size_t>(run - 1) % tests.size()];
    Peaks peaks;
    engine.Start({*cli::TestIdForName(test), dir, 0});
    loop.Run([&] { return !engine.run_exists(); }, [&] { peaks.Sample(); });
    engine.WaitForRun();
    for (size_t i = reported; i < host.failures().size(); ++i) {
      std::fprintf(stderr, "run %d: %s\n", run, host.failures()[i].text.c_str());
    }
    reported = host.failures().size();
    std::printf("%3d  %-6s  %12ld  %7ld  %10d  %9d  %14ld  %13ld  %6zu\n", run, test.c_str(), StatusValue("VmHWM"),
                StatusValue("VmRSS"), peaks.fds, OpenDescriptors(), peaks.threads, StatusValue("Threads"),
                host.failures().size());
    std::fflush(stdout);
  }
  std::fclose(quiet);
  return host.failures().empty() ? 0 : 1;
}
