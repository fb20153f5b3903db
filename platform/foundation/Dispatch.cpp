// The worker pool behind dispatchGlobal, named detached threads and the operation queue. Every
// thread is tracked by ThreadRegistry, so a process reset stops and joins them all.
#include <algorithm>
#include <deque>
#include <mutex>
#include <utility>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ThreadRegistry.h"

namespace platform {

namespace {

// At most this many pool threads; a new one starts when every thread is taken, so tasks that
// wait for each other do not starve while the pool is below the bound.
constexpr int kMaxPoolThreads = 16;

struct Job {
  Task task;
  uint64_t busy;
};

// Guarded by ThreadRegistry::handoffMutex(). Process-wide by nature: it is emptied whenever the
// tracked threads are stopped (its threads drop what is queued and leave).
struct Pool {
  std::deque<Job> queue;
  int threads = 0;
  int idle = 0;
};
Pool gPool;

// A worker takes a job: it keeps one busy unit, the newer of its own and the job's, so that a
// job started by what happened in this step of virtual time counts as part of the step.
void takeUnit(uint64_t jobUnit) {
  uint64_t mine = ThreadRegistry::currentBusy();
  if (jobUnit == 0) {
    if (!mine) ThreadRegistry::setCurrent(true, ThreadRegistry::beginBusy());
    return;
  }
  if (mine == 0) {
    ThreadRegistry::setCurrent(true, jobUnit);
    return;
  }
  ThreadRegistry::endBusy(std::min(mine, jobUnit));
  ThreadRegistry::setCurrent(true, std::max(mine, jobUnit));
}

// The worker found nothing more to do.
void releaseUnit() {
  if (uint64_t unit = ThreadRegistry::currentBusy()) ThreadRegistry::endBusy(unit);
  ThreadRegistry::setCurrent(true, 0);
}

void runJob(Job& job) {
  job.task();
  job.task = nullptr;  // captures go while the thread still counts as busy
}

void dropJobs(std::deque<Job>& jobs) {
  for (auto& job : jobs) {
    job.task = nullptr;
    if (job.busy) ThreadRegistry::endBusy(job.busy);
  }
  jobs.clear();
}

void poolWorker() {
  auto& m = ThreadRegistry::handoffMutex();
  auto& cv = ThreadRegistry::handoffCondition();
  std::unique_lock<std::mutex> lock(m);
  for (;;) {
    if (gPool.queue.empty() && !ThreadRegistry::stopping()) {
      releaseUnit();
      ++gPool.idle;
      cv.wait(lock, [] { return !gPool.queue.empty() || ThreadRegistry::stopping(); });
      --gPool.idle;
    }
    if (ThreadRegistry::stopping()) {
      std::deque<Job> dropped;
      dropped.swap(gPool.queue);
      --gPool.threads;
      lock.unlock();
      dropJobs(dropped);
      return;
    }
    Job job = std::move(gPool.queue.front());
    gPool.queue.pop_front();
    takeUnit(job.busy);
    lock.unlock();
    runJob(job);
    lock.lock();
  }
}

}  // namespace

void dispatchGlobal(Task t) {
  if (ThreadRegistry::stopping()) {
    log::debug("Dispatch", "dispatchGlobal while the process stops: task dropped");
    return;
  }
  uint64_t busy = ThreadRegistry::beginBusy();
  bool spawn = false;
  {
    std::lock_guard<std::mutex> lock(ThreadRegistry::handoffMutex());
    gPool.queue.push_back(Job{std::move(t), busy});
    if (static_cast<int>(gPool.queue.size()) > gPool.idle && gPool.threads < kMaxPoolThreads) {
      ++gPool.threads;
      spawn = true;
    }
  }
  ThreadRegistry::handoffCondition().notify_all();
  if (spawn) ThreadRegistry::start("nvx-global", poolWorker, false);
}

void Thread::detach(std::string name, Task t) { ThreadRegistry::start(std::move(name), std::move(t), true); }

bool Thread::stopping() { return ThreadRegistry::stopping(); }

Thread::Idle::Idle() {
  if (uint64_t unit = ThreadRegistry::currentBusy()) {
    ThreadRegistry::endBusy(unit);
    ThreadRegistry::setCurrent(true, 0);
    released_ = true;
  }
}

Thread::Idle::~Idle() {
  if (released_ && ThreadRegistry::currentBusy() == 0)
    ThreadRegistry::setCurrent(true, ThreadRegistry::beginBusy());
}

// ---------------------------------------------------------------------------------------------

struct OperationQueue::Impl {
  int maxConcurrent = 4;
  std::deque<Job> queue;  // guarded by the hand-off mutex
  int running = 0;        // threads of this queue
  int active = 0;         // operations running now
};

OperationQueue& OperationQueue::shared() { return Process::current().shared<OperationQueue>(); }

OperationQueue::OperationQueue(int maxConcurrent) : impl_(std::make_shared<Impl>()) {
  impl_->maxConcurrent = maxConcurrent < 1 ? 1 : maxConcurrent;
}

OperationQueue::~OperationQueue() {
  std::deque<Job> dropped;
  {
    std::lock_guard<std::mutex> lock(ThreadRegistry::handoffMutex());
    dropped.swap(impl_->queue);
  }
  dropJobs(dropped);
}

void OperationQueue::add(Task t) {
  if (ThreadRegistry::stopping()) {
    log::debug("Dispatch", "operation added while the process stops: dropped");
    return;
  }
  // An operation that must wait for a free slot is not busy yet: the worker that takes it is.
  bool spawn = false;
  {
    std::lock_guard<std::mutex> lock(ThreadRegistry::handoffMutex());
    impl_->queue.push_back(Job{std::move(t), 0});
    if (impl_->running < impl_->maxConcurrent) {
      ++impl_->running;
      spawn = true;
    }
  }
  if (!spawn) return;
  ThreadRegistry::start("nvx-operation", [impl = impl_] {
    auto& m = ThreadRegistry::handoffMutex();
    std::unique_lock<std::mutex> lock(m);
    for (;;) {
      if (impl->queue.empty() || ThreadRegistry::stopping()) {
        std::deque<Job> dropped;
        if (ThreadRegistry::stopping()) dropped.swap(impl->queue);
        --impl->running;
        lock.unlock();
        dropJobs(dropped);
        ThreadRegistry::handoffCondition().notify_all();
        return;
      }
      Job job = std::move(impl->queue.front());
      impl->queue.pop_front();
      ++impl->active;
      takeUnit(job.busy);
      lock.unlock();
      runJob(job);
      lock.lock();
      --impl->active;
      ThreadRegistry::handoffCondition().notify_all();
    }
  }, true);
}

void OperationQueue::waitUntilAllDone() {
  Thread::Idle idle;
  std::unique_lock<std::mutex> lock(ThreadRegistry::handoffMutex());
  ThreadRegistry::handoffCondition().wait(lock, [&] {
    return (impl_->queue.empty() && impl_->active == 0) || ThreadRegistry::stopping();
  });
}

size_t OperationQueue::operationCount() const {
  std::lock_guard<std::mutex> lock(ThreadRegistry::handoffMutex());
  return impl_->queue.size() + static_cast<size_t>(impl_->active);
}

}  // namespace platform
