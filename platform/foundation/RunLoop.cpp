#include "platform/foundation/RunLoop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/ThreadRegistry.h"

namespace platform {

namespace {

// How long (real time) the virtual-time driver waits for busy workers before it gives up on
// them and moves on. Only reached when a tracked thread blocks on something other than the clock.
constexpr std::chrono::milliseconds kWorkerWait{5000};
// A bound on passes in runUntilIdle, against a task that posts itself forever.
constexpr size_t kMaxIdlePasses = 1000000;
// Repeating timers fire at most this often.
constexpr Duration kMinInterval = std::chrono::microseconds(100);

struct TimerRec {
  TimePoint deadline;
  uint64_t seq = 0;
  Duration interval{};
  bool repeating = false;
  std::shared_ptr<Task> task;
  const void* target = nullptr;
};

struct FdRec {
  short events = 0;
  uint64_t generation = 0;
  std::shared_ptr<std::function<void(short)>> callback;
};

using TimerKey = std::pair<TimePoint, uint64_t>;

int pollTimeoutMs(Duration d) {
  if (d <= Duration::zero()) return 0;
  auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
  return ms > 60000 ? 60000 : static_cast<int>(ms);
}

}  // namespace

struct RunLoop::Impl {
  std::thread::id owner = std::this_thread::get_id();
  mutable std::mutex mutex;
  std::deque<Task> posted;
  std::map<TimerKey, TimerId> queue;
  std::unordered_map<TimerId, TimerRec> timers;
  std::map<int, FdRec> fds;
  TimerId nextId = 1;
  uint64_t seq = 0;
  uint64_t fdGeneration = 0;
  int wakeFd = -1;
  std::atomic<bool> stopped{false};
  bool warnedWorkers = false;

  void wake() {
    if (wakeFd >= 0) {
      uint64_t one = 1;
      ssize_t r = ::write(wakeFd, &one, sizeof one);
      (void)r;  // a full counter still wakes the poller
    }
    ThreadRegistry::notifyAll();
  }
  void drainWake() {
    if (wakeFd < 0) return;
    uint64_t v;
    ssize_t r = ::read(wakeFd, &v, sizeof v);
    (void)r;
  }
  bool hasPosted() const {
    std::lock_guard<std::mutex> lock(mutex);
    return !posted.empty();
  }
  TimerId schedule(Duration delay, Task task, const void* target, bool repeating) {
    if (delay < Duration::zero()) delay = Duration::zero();
    if (repeating && delay < kMinInterval) delay = kMinInterval;
    TimePoint deadline = clock().now() + delay;
    TimerId id;
    {
      std::lock_guard<std::mutex> lock(mutex);
      id = nextId++;
      TimerRec rec;
      rec.deadline = deadline;
      rec.seq = seq++;
      rec.interval = delay;
      rec.repeating = repeating;
      rec.task = std::make_shared<Task>(std::move(task));
      rec.target = target;
      queue.emplace(TimerKey{rec.deadline, rec.seq}, id);
      timers.emplace(id, std::move(rec));
    }
    wake();
    return id;
  }
  // Waits for the loop's descriptors or a wake-up, for at most timeoutMs (-1: no limit).
  void waitForIo(int timeoutMs) {
    std::vector<pollfd> pfds;
    pfds.push_back(pollfd{wakeFd, POLLIN, 0});
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (!posted.empty()) return;
      for (auto& [fd, rec] : fds) pfds.push_back(pollfd{fd, rec.events, 0});
    }
    ::poll(pfds.data(), pfds.size(), timeoutMs);  // EINTR: the caller loops
  }
  // Virtual time: run what is ready, then wait for the workers that became busy since `epoch`
  // (woken by this step, or started by what ran) and run what they posted, until all is quiet.
  void settle(RunLoop& loop, uint64_t epoch, bool allWorkers) {
    auto giveUp = std::chrono::steady_clock::now() + kWorkerWait;
    for (;;) {
      loop.runUntilIdle();
      if (warnedWorkers) return;
      uint64_t since = allWorkers ? 0 : epoch;
      if (ThreadRegistry::busySince(since) == 0 && !hasPosted()) return;
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
      if (left.count() <= 0 ||
          !ThreadRegistry::waitQuiet(since, [&] { return hasPosted(); }, left)) {
        warnedWorkers = true;
        log::warning("RunLoop",
                     "a tracked thread stayed busy without the clock; wrap such waits in Thread::Idle");
        return;
      }
    }
  }
};

RunLoop& RunLoop::main() { return Process::current().shared<RunLoop>(); }

RunLoop::RunLoop() : impl_(std::make_unique<Impl>()) {
  impl_->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

RunLoop::~RunLoop() {
  // Tasks may hold objects whose destructors call back into this loop (cancel, removeFd):
  // take everything out first, destroy it while the loop is still whole.
  std::deque<Task> posted;
  std::unordered_map<TimerId, TimerRec> timers;
  std::map<int, FdRec> fds;
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    posted.swap(impl_->posted);
    timers.swap(impl_->timers);
    impl_->queue.clear();
    fds.swap(impl_->fds);
  }
  posted.clear();
  timers.clear();
  fds.clear();
  if (impl_->wakeFd >= 0) ::close(impl_->wakeFd);
}

bool RunLoop::isMainThread() const { return std::this_thread::get_id() == impl_->owner; }

void RunLoop::post(Task task) {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->posted.push_back(std::move(task));
  }
  impl_->wake();
}

void RunLoop::postAndWait(Task task) {
  if (isMainThread()) {
    task();
    return;
  }
  enum State { Pending, Running, Done, Abandoned };
  struct Shared {
    State state = Pending;
    Task task;
  };
  auto st = std::make_shared<Shared>();
  st->task = std::move(task);
  auto& m = ThreadRegistry::handoffMutex();
  auto& cv = ThreadRegistry::handoffCondition();
  post([st, &m, &cv] {
    {
      std::lock_guard<std::mutex> lock(m);
      if (st->state != Pending) return;  // the waiter gave up (process stopping)
      st->state = Running;
    }
    st->task();
    st->task = nullptr;
    {
      std::lock_guard<std::mutex> lock(m);
      st->state = Done;
    }
    cv.notify_all();
  });
  std::unique_lock<std::mutex> lock(m);
  cv.wait(lock, [&] { return st->state == Done || (st->state == Pending && ThreadRegistry::stopping()); });
  if (st->state == Pending) st->state = Abandoned;
}

TimerId RunLoop::after(Duration delay, Task task, const void* target) {
  return impl_->schedule(delay, std::move(task), target, false);
}

TimerId RunLoop::every(Duration interval, Task task, const void* target) {
  return impl_->schedule(interval, std::move(task), target, true);
}

void RunLoop::cancel(TimerId id) {
  std::shared_ptr<Task> dropped;  // destroyed outside the lock
  std::lock_guard<std::mutex> lock(impl_->mutex);
  auto it = impl_->timers.find(id);
  if (it == impl_->timers.end()) return;
  impl_->queue.erase(TimerKey{it->second.deadline, it->second.seq});
  dropped = std::move(it->second.task);
  impl_->timers.erase(it);
}

void RunLoop::cancelAllFor(const void* target) {
  if (!target) return;
  std::vector<std::shared_ptr<Task>> dropped;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  for (auto it = impl_->timers.begin(); it != impl_->timers.end();) {
    if (it->second.target == target) {
      impl_->queue.erase(TimerKey{it->second.deadline, it->second.seq});
      dropped.push_back(std::move(it->second.task));
      it = impl_->timers.erase(it);
    } else {
      ++it;
    }
  }
}

bool RunLoop::isScheduled(TimerId id) const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->timers.count(id) != 0;
}

void RunLoop::addFd(int fd, short events, std::function<void(short revents)> callback) {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    FdRec& rec = impl_->fds[fd];
    rec.events = events;
    rec.generation = ++impl_->fdGeneration;
    rec.callback = std::make_shared<std::function<void(short)>>(std::move(callback));
  }
  impl_->wake();
}

void RunLoop::removeFd(int fd) {
  std::shared_ptr<std::function<void(short)>> dropped;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  auto it = impl_->fds.find(fd);
  if (it == impl_->fds.end()) return;
  dropped = std::move(it->second.callback);
  impl_->fds.erase(it);
}

size_t RunLoop::runPending() {
  size_t count = 0;
  TimePoint now = clock().now();
  std::deque<Task> batch;
  uint64_t passSeq;
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    batch.swap(impl_->posted);
    passSeq = impl_->seq;
  }
  impl_->drainWake();
  while (!batch.empty()) {
    Task t = std::move(batch.front());
    batch.pop_front();
    t();
    ++count;
  }

  // Timers due now that were scheduled before this pass (a delay of 0 means the next pass).
  for (;;) {
    std::shared_ptr<Task> task;
    {
      std::lock_guard<std::mutex> lock(impl_->mutex);
      auto it = impl_->queue.begin();
      while (it != impl_->queue.end() && it->first.first <= now && it->first.second >= passSeq) ++it;
      if (it == impl_->queue.end() || it->first.first > now) break;
      TimerId id = it->second;
      impl_->queue.erase(it);
      auto rit = impl_->timers.find(id);
      TimerRec& rec = rit->second;
      task = rec.task;
      if (rec.repeating) {
        // From the previous deadline; fires missed while the loop was busy are skipped.
        TimePoint next = rec.deadline + rec.interval;
        if (next <= now) next += rec.interval * ((now - next) / rec.interval + 1);
        rec.deadline = next;
        rec.seq = impl_->seq++;
        impl_->queue.emplace(TimerKey{rec.deadline, rec.seq}, id);
      } else {
        impl_->timers.erase(rit);
      }
    }
    (*task)();
    ++count;
  }

  // Ready descriptors.
  std::vector<pollfd> pfds;
  std::vector<uint64_t> generations;
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    for (auto& [fd, rec] : impl_->fds) {
      pfds.push_back(pollfd{fd, rec.events, 0});
      generations.push_back(rec.generation);
    }
  }
  if (!pfds.empty() && ::poll(pfds.data(), pfds.size(), 0) > 0) {
    for (size_t i = 0; i < pfds.size(); ++i) {
      if (!pfds[i].revents) continue;
      std::shared_ptr<std::function<void(short)>> cb;
      {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        auto it = impl_->fds.find(pfds[i].fd);
        if (it == impl_->fds.end() || it->second.generation != generations[i]) continue;
        cb = it->second.callback;
        if (pfds[i].revents & POLLNVAL) {
          // Closed without removeFd: report once, then forget it (else it is ready forever).
          impl_->fds.erase(it);
        }
      }
      if (pfds[i].revents & POLLNVAL) log::warning("RunLoop", "descriptor closed while registered: " + std::to_string(pfds[i].fd));
      (*cb)(pfds[i].revents);
      ++count;
    }
  }
  return count;
}

size_t RunLoop::runUntilIdle() {
  size_t total = 0;
  for (size_t pass = 0; pass < kMaxIdlePasses; ++pass) {
    size_t n = runPending();
    if (n == 0) return total;
    total += n;
  }
  log::warning("RunLoop", "runUntilIdle: the loop never became idle (a task that re-posts itself?)");
  return total;
}

namespace {

std::optional<TimePoint> earliest(std::optional<TimePoint> a, std::optional<TimePoint> b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

}  // namespace

void RunLoop::advance(Duration d) {
  VirtualClock* vc = virtualClock();
  if (!vc) {
    auto end = clock().now() + d;
    runUntil([] { return false; }, end - clock().now());
    return;
  }
  if (d < Duration::zero()) d = Duration::zero();
  impl_->warnedWorkers = false;
  TimePoint end = vc->now() + d;
  impl_->settle(*this, ThreadRegistry::currentEpoch(), false);
  for (;;) {
    auto next = earliest(nextDeadline(), vc->nextSleeperDeadline());
    if (!next || *next > end) break;
    uint64_t epoch = ThreadRegistry::newEpoch();
    vc->advanceTo(*next);
    impl_->settle(*this, epoch, false);
  }
  uint64_t epoch = ThreadRegistry::newEpoch();
  vc->advanceTo(end);
  impl_->settle(*this, epoch, false);
}

bool RunLoop::runUntil(const std::function<bool()>& pred, Duration limit) {
  VirtualClock* vc = virtualClock();
  if (!vc) {
    TimePoint end = clock().now() + limit;
    for (;;) {
      runUntilIdle();
      if (pred()) return true;
      TimePoint now = clock().now();
      if (now >= end) return false;
      Duration wait = end - now;
      if (auto next = nextDeadline()) wait = std::min(wait, *next - now);
      // Workers may change what pred() reads without posting: look again at least every 10 ms.
      wait = std::min<Duration>(wait, std::chrono::milliseconds(10));
      impl_->waitForIo(pollTimeoutMs(wait));
    }
  }
  impl_->warnedWorkers = false;
  TimePoint end = vc->now() + std::max(limit, Duration::zero());
  for (;;) {
    // Every busy worker gets to finish (or block on the clock) before time moves.
    impl_->settle(*this, 0, true);
    if (pred()) return true;
    auto next = earliest(nextDeadline(), vc->nextSleeperDeadline());
    if (!next || *next > end) {
      if (vc->now() < end) {
        uint64_t epoch = ThreadRegistry::newEpoch();
        vc->advanceTo(end);
        impl_->settle(*this, epoch, true);
      }
      return pred();
    }
    uint64_t epoch = ThreadRegistry::newEpoch();
    vc->advanceTo(*next);
    impl_->settle(*this, epoch, true);
  }
}

size_t RunLoop::drainIo(std::chrono::milliseconds realLimit) {
  auto end = std::chrono::steady_clock::now() + realLimit;
  size_t total = 0;
  for (;;) {
    size_t n = runUntilIdle();
    total += n;
    if (n > 0) return total;
    auto now = std::chrono::steady_clock::now();
    if (now >= end) return total;
    impl_->waitForIo(pollTimeoutMs(end - now));
  }
}

bool RunLoop::drainIoUntil(const std::function<bool()>& pred, std::chrono::milliseconds realLimit) {
  auto end = std::chrono::steady_clock::now() + realLimit;
  for (;;) {
    runUntilIdle();
    if (pred()) return true;
    auto now = std::chrono::steady_clock::now();
    if (now >= end) return false;
    // Workers may change what pred() reads without posting: look again at least every 10 ms.
    impl_->waitForIo(std::min(pollTimeoutMs(end - now), 10));
  }
}

void RunLoop::run() {
  impl_->stopped = false;
  while (!impl_->stopped) {
    runUntilIdle();
    if (impl_->stopped) break;
    VirtualClock* vc = virtualClock();
    auto next = nextDeadline();
    if (vc) {
      next = earliest(next, vc->nextSleeperDeadline());
      if (next) {
        uint64_t epoch = ThreadRegistry::newEpoch();
        vc->advanceTo(*next);
        impl_->settle(*this, epoch, false);
        continue;
      }
      impl_->waitForIo(-1);
      continue;
    }
    impl_->waitForIo(next ? pollTimeoutMs(*next - clock().now()) : -1);
  }
}

void RunLoop::stop() {
  impl_->stopped = true;
  impl_->wake();
}

std::optional<TimePoint> RunLoop::nextDeadline() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (impl_->queue.empty()) return std::nullopt;
  return impl_->queue.begin()->first.first;
}

size_t RunLoop::timerCount() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->timers.size();
}

}  // namespace platform
