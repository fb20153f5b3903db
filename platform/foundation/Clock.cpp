#include "platform/foundation/Clock.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/foundation/ThreadRegistry.h"

namespace platform {

namespace {

// Holds the waiter's own lock and the clock's lock as one, so that condition_variable_any::wait
// releases both atomically: a notification sent under the clock's lock cannot be lost.
struct BothLocks {
  std::unique_lock<std::mutex>& user;
  std::unique_lock<std::mutex>& clock;
  void lock() {
    user.lock();
    clock.lock();
  }
  void unlock() {
    clock.unlock();
    user.unlock();
  }
};

// The installed clock. Replaced clocks are kept (they are small) so that a reference obtained
// by a thread that is not tracked never dangles.
std::mutex gInstallMutex;
std::shared_ptr<Clock> gCurrent;
std::vector<std::shared_ptr<Clock>> gRetired;
std::atomic<Clock*> gClock{nullptr};

// Real-clock waiters, so that interrupt() can wake them at a reset.
std::mutex gRealMutex;
std::condition_variable_any gRealSleep;
std::vector<std::condition_variable_any*> gRealWaiters;

}  // namespace

// ---------------------------------------------------------------------------------------------
// RealClock

TimePoint RealClock::now() const {
  return std::chrono::time_point_cast<Duration>(std::chrono::steady_clock::now());
}

WallTime RealClock::wallNow() const {
  return std::chrono::time_point_cast<Duration>(std::chrono::system_clock::now());
}

void RealClock::sleepFor(Duration d) {
  if (d <= Duration::zero()) return;
  auto deadline = now() + d;
  std::unique_lock<std::mutex> lock(gRealMutex);
  gRealSleep.wait_until(lock, deadline, [] { return ThreadRegistry::stopping(); });
}

bool RealClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                          TimePoint deadline, const std::function<bool()>& pred) {
  for (;;) {
    if (pred()) return true;
    std::unique_lock<std::mutex> cl(gRealMutex);
    if (now() >= deadline || ThreadRegistry::stopping()) {
      cl.unlock();
      return pred();
    }
    gRealWaiters.push_back(&cv);
    {
      BothLocks both{lock, cl};
      cv.wait_until(both, deadline);
    }
    gRealWaiters.erase(std::find(gRealWaiters.begin(), gRealWaiters.end(), &cv));
  }
}

void RealClock::interrupt() {
  std::lock_guard<std::mutex> lock(gRealMutex);
  for (auto* cv : gRealWaiters) cv->notify_all();
  gRealSleep.notify_all();
}

// ---------------------------------------------------------------------------------------------
// VirtualClock

namespace {
struct Sleeper {
  TimePoint deadline;
  std::condition_variable_any* cv;  // nullptr: sleepFor
  bool tracked;
  bool woken = false;
  uint64_t adopted = 0;  // busy unit begun on the sleeper's behalf when time woke it
};
}  // namespace

struct VirtualClock::Impl {
  mutable std::mutex mutex;
  std::atomic<int64_t> now{std::chrono::duration_cast<Duration>(std::chrono::hours(24)).count()};
  WallTime wallBase = VirtualClock::defaultWall();
  TimePoint nowBase{Duration(now.load())};
  std::vector<Sleeper*> sleepers;
  std::condition_variable_any sleep;

  TimePoint current() const { return TimePoint(Duration(now.load(std::memory_order_acquire))); }
  void remove(Sleeper* s) { sleepers.erase(std::find(sleepers.begin(), sleepers.end(), s)); }
};

VirtualClock::VirtualClock() : impl_(std::make_unique<Impl>()) {}
VirtualClock::~VirtualClock() = default;

WallTime VirtualClock::defaultWall() {
  using namespace std::chrono;
  // 10:00 in UTC+8 is 02:00 UTC.
  return time_point_cast<Duration>(sys_days(year(2013) / June / 1) + hours(2));
}

TimePoint VirtualClock::now() const { return impl_->current(); }

WallTime VirtualClock::wallNow() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->wallBase + (impl_->current() - impl_->nowBase);
}

void VirtualClock::setWall(WallTime t) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->wallBase = t;
  impl_->nowBase = impl_->current();
}

void VirtualClock::sleepFor(Duration d) {
  std::unique_lock<std::mutex> cl(impl_->mutex);
  TimePoint deadline = impl_->current() + d;
  if (d <= Duration::zero() || ThreadRegistry::stopping()) return;
  Sleeper s{deadline, nullptr, ThreadRegistry::currentIsTracked()};
  impl_->sleepers.push_back(&s);
  if (s.tracked) ThreadRegistry::currentBlocks();
  impl_->sleep.wait(cl, [&] { return s.woken || ThreadRegistry::stopping(); });
  impl_->remove(&s);
  if (s.tracked) ThreadRegistry::currentWakes(s.adopted);
}

bool VirtualClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                             TimePoint deadline, const std::function<bool()>& pred) {
  for (;;) {
    if (pred()) return true;
    std::unique_lock<std::mutex> cl(impl_->mutex);
    if (impl_->current() >= deadline || ThreadRegistry::stopping()) {
      cl.unlock();
      return pred();
    }
    Sleeper s{deadline, &cv, ThreadRegistry::currentIsTracked()};
    impl_->sleepers.push_back(&s);
    if (s.tracked) ThreadRegistry::currentBlocks();
    {
      BothLocks both{lock, cl};
      cv.wait(both);
    }
    impl_->remove(&s);
    if (s.tracked) ThreadRegistry::currentWakes(s.adopted);
  }
}

void VirtualClock::advanceTo(TimePoint t) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (t > impl_->current()) impl_->now.store(t.time_since_epoch().count(), std::memory_order_release);
  TimePoint now = impl_->current();
  for (Sleeper* s : impl_->sleepers) {
    if (s->woken || s->deadline > now) continue;
    s->woken = true;
    if (s->tracked) s->adopted = ThreadRegistry::beginBusy();
    if (s->cv) s->cv->notify_all();
  }
  impl_->sleep.notify_all();
}

void VirtualClock::interrupt() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  for (Sleeper* s : impl_->sleepers) {
    if (s->cv) s->cv->notify_all();
  }
  impl_->sleep.notify_all();
}

std::optional<TimePoint> VirtualClock::nextSleeperDeadline() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  std::optional<TimePoint> next;
  for (const Sleeper* s : impl_->sleepers) {
    if (s->woken) continue;
    if (!next || s->deadline < *next) next = s->deadline;
  }
  return next;
}

int VirtualClock::sleepers() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return static_cast<int>(impl_->sleepers.size());
}

// ---------------------------------------------------------------------------------------------

Clock& clock() {
  Clock* c = gClock.load(std::memory_order_acquire);
  if (c) return *c;
  static RealClock real;  // stateless
  return real;
}

void installClock(std::shared_ptr<Clock> c) {
  std::lock_guard<std::mutex> lock(gInstallMutex);
  if (gCurrent) gRetired.push_back(gCurrent);
  // Keep the recent ones: a thread that is not tracked may still hold a reference for a while.
  constexpr size_t kKept = 64;
  if (gRetired.size() > kKept) gRetired.erase(gRetired.begin(), gRetired.end() - kKept);
  gCurrent = std::move(c);
  gClock.store(gCurrent.get(), std::memory_order_release);
}

void interruptClocks() {
  std::vector<std::shared_ptr<Clock>> clocks;
  {
    std::lock_guard<std::mutex> lock(gInstallMutex);
    clocks = gRetired;
    if (gCurrent) clocks.push_back(gCurrent);
  }
  for (auto& c : clocks) c->interrupt();
  clock().interrupt();  // the built-in real clock when nothing was installed
}

VirtualClock* virtualClock() {
  Clock& c = clock();
  return c.isVirtual() ? static_cast<VirtualClock*>(&c) : nullptr;
}

}  // namespace platform
