#include "engine/pass_protocol.h"

#include "engine/rate.h"

namespace korvanel {

bool RunPasses(RunContext& run, ResultField field, uint32_t block_bytes,
               const std::function<std::string(int pass)>& status, const PassRunner& run_pass) {
  double best = 0;
  for (int pass = 0; pass <= run.params.pass_count; ++pass) {
    run.PostPassStatus(status(pass));
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
    const double rate = Rate(block_bytes, measured.operations, measured.elapsed_ms);
    run.StoreAndRefresh(field, rate);
    if (!run.keep_running()) return false;
    if (rate > best) best = rate;
  }
  run.StoreAndRefresh(field, best);
  return run.keep_running();
}

}  // namespace korvanel
