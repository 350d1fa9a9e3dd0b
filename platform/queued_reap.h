#pragma once
// What every queued file does before it lets go of its requests' buffer and bookkeeping.

#include <chrono>
#include <cstdint>

#include "platform/storage.h"

namespace korvanel::platform {

// How long Close waits for requests still in flight before it gives up on them.
constexpr int kReapLimitMs = 30000;

// Requests still in flight use the caller's buffer: waits, within the limit, until none is left,
// dropping their results. `in_flight` is the file's own count, which its Wait keeps up to date.
// True when none is left.
inline bool ReapInFlight(QueuedFile& file, const uint32_t& in_flight) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReapLimitMs);
  while (in_flight > 0 && std::chrono::steady_clock::now() < deadline) {
    uint32_t handled = 0;
    if (file.Wait(100, [](const Completion&) {}, &handled)) break;
  }
  return in_flight == 0;
}

}  // namespace korvanel::platform
