// Internal to platform/foundation: the threads the process tracks (worker pool, operation queue,
// detached threads) and which of them are busy, so that a reset can join them and the virtual-time
// driver (RunLoop::advance / runUntil) can wait until woken workers have done their step.
//
// "Busy" units: a queued or running pool task, a running detached thread, an operation. A tracked
// thread stops being busy while it sleeps or waits on the virtual clock (or sits in a
// Thread::Idle scope) and becomes busy again when it wakes. Each unit carries the epoch in which
// it became busy; the loop starts a new epoch at each step of virtual time and waits only for
// the units of that step.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace platform {

class ThreadRegistry {
 public:
  // Starts a tracked std::thread running body. With busy, the thread holds a busy unit from now
  // until body returns (detached threads); pool workers start idle and take their tasks' units.
  static void start(std::string name, std::function<void()> body, bool busy);

  // --- busy accounting ---
  static uint64_t beginBusy();              // a new busy unit in the current epoch
  static void endBusy(uint64_t epoch);
  static uint64_t newEpoch();                // the loop starts a step of virtual time
  static uint64_t currentEpoch();
  static int busyCount();                    // all busy units
  static int busySince(uint64_t epoch);      // busy units of this epoch or later
  // The calling thread: is it tracked, and which busy unit does it hold (0 = none)?
  static bool currentIsTracked();
  static void setCurrent(bool tracked, uint64_t busyEpoch);
  static uint64_t currentBusy();
  // The calling tracked thread blocks on the clock (it releases its busy unit) ...
  static void currentBlocks();
  // ... and wakes: adopts a unit begun on its behalf (epoch != 0) or begins a new one.
  static void currentWakes(uint64_t adoptedEpoch);

  // Waits (real time, at most limit) until no busy unit of epoch or later is left, or extra()
  // holds (extra runs under the registry's lock: it may only take the run loop's lock). The
  // condition is notified whenever a busy unit ends and whenever notifyAll() is called (posts
  // to the loop). Returns false when the limit passed first.
  static bool waitQuiet(uint64_t epoch, const std::function<bool()>& extra,
                        std::chrono::milliseconds limit);
  static void notifyAll();

  // One lock and condition shared by the small hand-offs between tracked threads (worker-pool
  // queue, operation queue, postAndWait). stopAndJoin wakes it; waiters must check stopping().
  static std::mutex& handoffMutex();
  static std::condition_variable& handoffCondition();

  // --- shutdown (Process::reset) ---
  static bool stopping();
  // Sets stopping, wakes every sleeper and waiter, joins every tracked thread, clears stopping.
  static void stopAndJoin();
  static int liveThreads();
};

// Defined in Clock.cpp: interrupt() on the installed clock and on the ones it replaced (a thread
// may still sleep on a clock that a test replaced).
void interruptClocks();

}  // namespace platform
