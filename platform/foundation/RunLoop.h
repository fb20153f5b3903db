// The main thread's run loop: tasks, delayed calls, repeating timers and descriptor callbacks.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/Clock.h"

namespace platform {

using Task = std::function<void()>;
using TimerId = uint64_t;

class RunLoop {
 public:
  // The loop of the main thread. The thread that first asks for it (after a reset) is the main
  // thread: the test thread in tests, the simulator's thread in nvx-sim.
  static RunLoop& main();

  RunLoop();
  ~RunLoop();
  RunLoop(const RunLoop&) = delete;
  RunLoop& operator=(const RunLoop&) = delete;

  bool isMainThread() const;

  // Runs task on the loop's next pass (from any thread).
  void post(Task task);
  // Runs task on the loop and waits until it has run; inline when called on the loop's thread.
  void postAndWait(Task task);
  // A one-shot call after delay (0 = on the next pass). target groups calls for cancelAllFor.
  TimerId after(Duration delay, Task task, const void* target = nullptr);
  // A repeating timer; first fire after interval.
  TimerId every(Duration interval, Task task, const void* target = nullptr);
  void cancel(TimerId id);
  // Cancels every pending delayed call and timer registered with this target.
  void cancelAllFor(const void* target);
  bool isScheduled(TimerId id) const;

  // Descriptor callbacks (POLLIN/POLLOUT in events), run on the loop.
  void addFd(int fd, short events, std::function<void(short revents)> callback);
  void removeFd(int fd);

  // --- driving the loop (tests, simulator, product) ---
  // Runs posted tasks, due timers and ready descriptors once, without waiting. Returns the count run.
  size_t runPending();
  // runPending until nothing more is ready now (time does not move). Returns the count run.
  size_t runUntilIdle();
  // Virtual clock: moves time forward by d, firing every timer that falls due, in deadline order
  // (equal deadlines in scheduling order), with time set to each deadline as it fires; tasks
  // posted meanwhile run before time moves on. Worker threads sleeping on the clock wake at
  // their deadlines, and the loop waits (real time) for the workers each step woke or started
  // until they block on the clock again or end. Real clock: runs the loop for d of real time.
  void advance(Duration d);
  void advance(double seconds) { advance(secs(seconds)); }
  // Runs until pred() holds or limit has passed. On the virtual clock it first lets every busy
  // tracked thread finish or block on the clock, then moves time to the next deadline (a timer
  // or a sleeping worker), and so on; time stops where pred() came true, or at the limit.
  bool runUntil(const std::function<bool()>& pred, Duration limit);
  // Waits for descriptor activity and posted tasks for up to realLimit of real time (used when
  // tests talk to real sockets while the virtual clock stands still). Returns as soon as it has
  // run something and nothing more is ready, or when realLimit has passed; returns the count run.
  size_t drainIo(std::chrono::milliseconds realLimit);
  // Like drainIo, but keeps going until pred() holds or realLimit has passed. Returns pred().
  bool drainIoUntil(const std::function<bool()>& pred, std::chrono::milliseconds realLimit);
  // Product and simulator: run until stop() is called.
  void run();
  void stop();
  // The earliest pending timer deadline, if any.
  std::optional<TimePoint> nextDeadline() const;
  // Number of pending timers and delayed calls (tests).
  size_t timerCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Shorthands used throughout the client.
inline void dispatchMain(Task t) { RunLoop::main().post(std::move(t)); }
inline TimerId dispatchAfter(Duration d, Task t, const void* target = nullptr) {
  return RunLoop::main().after(d, std::move(t), target);
}
// Runs t on the worker pool. Workers are tracked; a process reset joins them.
void dispatchGlobal(Task t);

// Named detached threads (tracked: a process reset waits for them to end).
//
// On the virtual clock, RunLoop::advance and runUntil wait (in real time) for tracked threads
// that are busy: a worker woken by the clock gets to do its step before time moves on. A tracked
// thread is idle while it sleeps or waits on clock(); a thread that waits for anything else (a
// socket, a pipe, a plain condition variable) for long should hold a Thread::Idle meanwhile.
class Thread {
 public:
  static void detach(std::string name, Task t);
  // True while the process is shutting down (threads with loops should end). Sleeps and waits
  // on clock() return at once while it holds.
  static bool stopping();

  class Idle {
   public:
    Idle();
    ~Idle();
    Idle(const Idle&) = delete;
    Idle& operator=(const Idle&) = delete;

   private:
    bool released_ = false;
  };
};

// An operation queue: shared() runs operations on its own worker threads (max 4 at once).
class OperationQueue {
 public:
  static OperationQueue& shared();
  explicit OperationQueue(int maxConcurrent = 4);
  ~OperationQueue();
  OperationQueue(const OperationQueue&) = delete;
  OperationQueue& operator=(const OperationQueue&) = delete;
  void add(Task t);
  // Blocks until every added operation has run (returns early when the process is stopping).
  void waitUntilAllDone();
  size_t operationCount() const;   // queued + running

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
};

}  // namespace platform
