// Time for the whole process: a real clock in the product and the simulator, a virtual one in tests.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace platform {

using Duration = std::chrono::nanoseconds;
using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Duration>;
using WallTime = std::chrono::time_point<std::chrono::system_clock, Duration>;

// Seconds as the system's own code writes them (2.0, 0.15, 3.2) to a Duration.
// Rounded to the nearest nanosecond: 1.001 s is 1001000000 ns, not one less (a plain cast
// truncates 1.001 * 1e9 = 1000999999.9999999 and a deadline would come a nanosecond early).
constexpr Duration secs(double s) {
  return Duration(static_cast<int64_t>(s * 1e9 + (s < 0 ? -0.5 : 0.5)));
}
constexpr double toSecs(Duration d) { return static_cast<double>(d.count()) / 1e9; }

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimePoint now() const = 0;        // monotonic: timers, time-outs
  virtual WallTime wallNow() const = 0;     // calendar time: dates, the 14-day rule
  virtual bool isVirtual() const = 0;
  // Blocks the calling (worker) thread for d of this clock's time.
  virtual void sleepFor(Duration d) = 0;
  // Waits on cv until pred() holds or the deadline (this clock's time) passes. Returns pred().
  virtual bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                         TimePoint deadline, const std::function<bool()>& pred) = 0;
  // Wakes every thread blocked in sleepFor/waitUntil so that it sees Thread::stopping() (a
  // process reset about to join the tracked threads). While stopping, sleeps and waits return
  // at once (a wait returns pred()).
  virtual void interrupt() {}
};

class RealClock final : public Clock {
 public:
  TimePoint now() const override;
  WallTime wallNow() const override;
  bool isVirtual() const override { return false; }
  void sleepFor(Duration d) override;
  bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                 TimePoint deadline, const std::function<bool()>& pred) override;
  void interrupt() override;
};

// Time moves only when a test (or the run loop on its behalf) advances it. Worker threads that
// sleep or wait on it wake when virtual time reaches their deadline.
class VirtualClock final : public Clock {
 public:
  VirtualClock();
  ~VirtualClock() override;
  TimePoint now() const override;
  WallTime wallNow() const override;
  bool isVirtual() const override { return true; }
  void sleepFor(Duration d) override;
  bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                 TimePoint deadline, const std::function<bool()>& pred) override;
  void interrupt() override;

  // The calendar time a new virtual clock starts at: 2013-06-01 10:00 +08:00.
  static WallTime defaultWall();
  void setWall(WallTime t);                 // the calendar time that corresponds to now()
  // Moves time to t at once (never backwards), waking sleepers whose deadline has come. Timers of the run
  // loop are fired by RunLoop::advance, which steps this clock deadline by deadline.
  void advanceTo(TimePoint t);
  // The earliest deadline a worker thread is sleeping or waiting on, if any.
  std::optional<TimePoint> nextSleeperDeadline() const;
  // Number of threads currently blocked in sleepFor/waitUntil on this clock.
  int sleepers() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The clock installed for this process (a RealClock until something installs another).
Clock& clock();
// Installs c as the process clock (tests: a new VirtualClock at every reset).
void installClock(std::shared_ptr<Clock> c);
// The installed clock as a VirtualClock, or nullptr when the real clock runs.
VirtualClock* virtualClock();

}  // namespace platform
