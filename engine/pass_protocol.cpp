#include "engine/pass_protocol.h"

#include "engine/rate.h"

namespace korvanel {
namespace {

// Enough for a user who pauses a run once or twice; a system that keeps pausing us gets no value
// rather than a run that never ends.
constexpr int kPausedPassRepeats = 3;

std::string PausedPassNotice(const std::string& pass_status, bool runs_again) {
  return pass_status + " was paused (the program was stopped or the system suspended): it does not count" +
         (runs_again ? " and runs again" : "");
}

}  // namespace

bool RunPasses(RunContext& run, ResultField field, uint32_t block_bytes,
               const std::function<std::string(int pass)>& status, const PassRunner& run_pass) {
  double best = 0;
  int repeats_left = kPausedPassRepeats;
  for (int pass = 0; pass <= run.params.pass_count; ++pass) {
    const std::string pass_status = status(pass);
    run.PostPassStatus(pass_status);
    const uint64_t pauses_before = run.clock.PauseCount();
    PassMeasurement measured;
    const bool completed = run_pass(&measured);
    if (run.pass_aborted()) {
      // Cut short: its live values go, the passes measured before it stand.
      run.StoreAndRefresh(field, best);
      return false;
    }
    if (!completed) {
      // A failed pass measured nothing, and a direction that failed has no best pass: the live
      // values it showed must not stay behind as if they were a result.
      run.StoreAndRefresh(field, 0);
      return false;
    }
    if (pass == 0) continue;  // the warm-up pass
    if (run.clock.PauseCount() != pauses_before) {
      // Its live values go with it; the passes measured before it stand.
      run.StoreAndRefresh(field, best);
      const bool runs_again = repeats_left > 0 && run.keep_running();
      run.host.PostNotice(PausedPassNotice(pass_status, runs_again));
      if (runs_again) {
        --repeats_left;
        --pass;
        continue;
      }
      run.flags.passes_lost_to_pauses.fetch_add(1);
      if (!run.keep_running()) return false;
      continue;
    }
    const double rate = Rate(block_bytes, measured.operations, measured.elapsed_ms);
    run.StoreAndRefresh(field, rate);
    if (!run.keep_running()) return false;
    if (rate > best) best = rate;
  }
  run.StoreAndRefresh(field, best);
  return run.keep_running();
}

}  // namespace korvanel
