// Test-only: letting what is on its way arrive, without waiting a fixed time.
#pragma once
#include <chrono>

#include "platform/foundation/RunLoop.h"
#include "platform/net/HttpRequest.h"

namespace platform::testing {

// Runs the main loop in real time, the virtual clock standing still, until every busy tracked
// worker has finished (or blocks on the clock), every asynchronous HTTP start has had its outcome
// run on the loop, and nothing more is ready; at most limit. For checks that nothing (more)
// happens after a step. Returns whether all became quiet within the limit.
inline bool settleIo(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  auto& loop = RunLoop::main();
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    // Busy workers get to finish, and what they posted runs.
    loop.runUntil([] { return true; }, Duration::zero());
    if (net::HttpRequest::unsettledStarts() == 0 && loop.runUntilIdle() == 0) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    loop.drainIo(std::chrono::milliseconds(10));  // returns as soon as something has run
  }
}

}  // namespace platform::testing
