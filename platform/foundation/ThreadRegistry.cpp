#include "platform/foundation/ThreadRegistry.h"

#include <pthread.h>

#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include "platform/foundation/Clock.h"

namespace platform {

namespace {

// Process-wide by nature (they track OS threads); every counter returns to zero once the
// tracked threads are joined, so a reset leaves nothing behind.
std::mutex gMutex;
std::condition_variable gChanged;
uint64_t gEpoch = 1;
std::map<uint64_t, int> gBusy;  // epoch -> busy units begun in it
int gBusyTotal = 0;
std::atomic<bool> gStopping{false};

std::mutex gHandoffMutex;
std::condition_variable gHandoff;

struct Tracked {
  std::thread thread;
  std::shared_ptr<std::atomic<bool>> done;
};
std::mutex gThreadsMutex;
std::vector<Tracked> gThreads;

thread_local bool tTracked = false;
thread_local uint64_t tBusy = 0;

}  // namespace

void ThreadRegistry::start(std::string name, std::function<void()> body, bool busy) {
  uint64_t unit = busy ? beginBusy() : 0;
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::vector<std::thread> finished;
  {
    std::lock_guard<std::mutex> lock(gThreadsMutex);
    // Reap threads that already ended so a long run does not pile them up.
    for (auto it = gThreads.begin(); it != gThreads.end();) {
      if (it->done->load()) {
        finished.push_back(std::move(it->thread));
        it = gThreads.erase(it);
      } else {
        ++it;
      }
    }
    std::thread t([name = std::move(name), body = std::move(body), unit, done]() mutable {
      std::string shortName = name.substr(0, 15);  // the kernel keeps 15 characters
      pthread_setname_np(pthread_self(), shortName.c_str());
      tTracked = true;
      tBusy = unit;
      body();
      body = nullptr;  // captures go while the thread still counts as busy
      if (tBusy) endBusy(tBusy);
      tBusy = 0;
      done->store(true);
    });
    gThreads.push_back(Tracked{std::move(t), done});
  }
  for (auto& t : finished) t.join();
}

uint64_t ThreadRegistry::beginBusy() {
  std::lock_guard<std::mutex> lock(gMutex);
  ++gBusy[gEpoch];
  ++gBusyTotal;
  return gEpoch;
}

void ThreadRegistry::endBusy(uint64_t epoch) {
  {
    std::lock_guard<std::mutex> lock(gMutex);
    auto it = gBusy.find(epoch);
    if (it == gBusy.end()) return;
    if (--it->second == 0) gBusy.erase(it);
    --gBusyTotal;
  }
  gChanged.notify_all();
}

uint64_t ThreadRegistry::newEpoch() {
  std::lock_guard<std::mutex> lock(gMutex);
  return ++gEpoch;
}

uint64_t ThreadRegistry::currentEpoch() {
  std::lock_guard<std::mutex> lock(gMutex);
  return gEpoch;
}

int ThreadRegistry::busyCount() {
  std::lock_guard<std::mutex> lock(gMutex);
  return gBusyTotal;
}

namespace {
int busySinceLocked(uint64_t epoch) {
  int n = 0;
  for (auto it = gBusy.lower_bound(epoch); it != gBusy.end(); ++it) n += it->second;
  return n;
}
}  // namespace

int ThreadRegistry::busySince(uint64_t epoch) {
  std::lock_guard<std::mutex> lock(gMutex);
  return busySinceLocked(epoch);
}

bool ThreadRegistry::currentIsTracked() { return tTracked; }

void ThreadRegistry::setCurrent(bool tracked, uint64_t busyEpoch) {
  tTracked = tracked;
  tBusy = busyEpoch;
}

uint64_t ThreadRegistry::currentBusy() { return tBusy; }

void ThreadRegistry::currentBlocks() {
  if (!tTracked || !tBusy) return;
  endBusy(tBusy);
  tBusy = 0;
}

void ThreadRegistry::currentWakes(uint64_t adoptedEpoch) {
  if (!tTracked) {
    if (adoptedEpoch) endBusy(adoptedEpoch);
    return;
  }
  if (tBusy) {
    // Already busy (it blocked while idle and was woken): keep one unit.
    if (adoptedEpoch) endBusy(adoptedEpoch);
    return;
  }
  tBusy = adoptedEpoch ? adoptedEpoch : beginBusy();
}

bool ThreadRegistry::waitQuiet(uint64_t epoch, const std::function<bool()>& extra,
                               std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(gMutex);
  return gChanged.wait_for(lock, limit, [&] { return busySinceLocked(epoch) == 0 || (extra && extra()); });
}

void ThreadRegistry::notifyAll() {
  { std::lock_guard<std::mutex> lock(gMutex); }
  gChanged.notify_all();
}

std::mutex& ThreadRegistry::handoffMutex() { return gHandoffMutex; }
std::condition_variable& ThreadRegistry::handoffCondition() { return gHandoff; }

bool ThreadRegistry::stopping() { return gStopping.load(std::memory_order_acquire); }

void ThreadRegistry::stopAndJoin() {
  gStopping.store(true, std::memory_order_release);
  for (;;) {
    // Wake everything that may be waiting: hand-offs, clock sleepers, the loop's waiters.
    { std::lock_guard<std::mutex> lock(gHandoffMutex); }
    gHandoff.notify_all();
    interruptClocks();
    notifyAll();

    std::vector<Tracked> threads;
    {
      std::lock_guard<std::mutex> lock(gThreadsMutex);
      threads.swap(gThreads);
    }
    if (threads.empty()) break;
    for (auto& t : threads) {
      if (t.thread.joinable()) t.thread.join();
    }
  }
  gStopping.store(false, std::memory_order_release);
}

int ThreadRegistry::liveThreads() {
  std::lock_guard<std::mutex> lock(gThreadsMutex);
  int n = 0;
  for (auto& t : gThreads) n += t.done->load() ? 0 : 1;
  return n;
}

}  // namespace platform
