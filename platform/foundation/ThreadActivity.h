// What code outside platform/foundation may ask about the threads the process tracks (the worker
// pool, operation queues, Thread::detach threads). The bookkeeping itself stays internal.
#pragma once

namespace platform {

class ThreadActivity {
 public:
  // On the virtual clock, threads woken at the same instant run together as one step. True when
  // the calling tracked thread is busy and some other tracked thread is busy in the same step
  // (or a later one) and has not yet finished it, i.e. slept, waited on the clock or ended.
  // False on a thread that holds no busy unit (the main thread, an idle or untracked thread).
  static bool othersBusyInCurrentStep();

  // Tracked threads whose body has not returned yet. A thread that has just returned is counted
  // for a moment longer; a process reset joins them all and leaves zero.
  static int liveCount();
};

}  // namespace platform
