#include "common/bounded_call.h"

#include <set>

namespace korvanel::bounded_call_detail {
namespace {

struct InFlight {
  std::mutex mutex;
  std::set<std::string> keys;
};

// Never destroyed: a call still hanging at exit releases its key into it.
InFlight& Calls() {
  static InFlight* calls = new InFlight;
  return *calls;
}

}  // namespace

bool Claim(const std::string& key) {
  std::lock_guard lock(Calls().mutex);
  return Calls().keys.insert(key).second;
}

void Release(const std::string& key) {
  std::lock_guard lock(Calls().mutex);
  Calls().keys.erase(key);
}

}  // namespace korvanel::bounded_call_detail
