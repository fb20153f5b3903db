// Helpers for tests that run under nvx_test_main (which resets the process before and after
// every test: fresh single objects, a fresh sandbox folder, a new virtual clock, the run loop on
// the test's thread).
#pragma once
#include "platform/foundation/Sandbox.h"

namespace platform::testing {

// A new run of the client in the same sandbox: Process::reset(ResetKind::Restart). Files and
// user defaults stay on disk; single objects, threads and timers go; a new virtual clock starts
// at the wall time the old one had reached; the run loop is bound to the calling thread again.
void restart();

// The current test's sandbox root.
Path sandboxRoot();

// A tracked thread that has returned from its body is marked done a moment later: waits (yielding,
// never sleeping, at most 5 s of real time) until the process has no live tracked thread. Returns
// false if one was still alive at the limit.
[[nodiscard]] bool noThreadLeft();

}  // namespace platform::testing
