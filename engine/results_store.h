#pragma once
// The results record of the process. The worker writes it; the host reads copies from any thread.

#include <mutex>

#include "engine/bench_results.h"

namespace korvanel {

class ResultsStore {
 public:
  void Reset() {
    std::lock_guard lock(mutex_);
    results_ = {};
  }
  void Set(ResultField field, double value) {
    std::lock_guard lock(mutex_);
    results_.*field = value;
  }
  double Get(ResultField field) const {
    std::lock_guard lock(mutex_);
    return results_.*field;
  }
  BenchResults Copy() const {
    std::lock_guard lock(mutex_);
    return results_;
  }

 private:
  mutable std::mutex mutex_;
  BenchResults results_;
};

}  // namespace korvanel
