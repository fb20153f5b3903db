#include "platform/foundation/Process.h"

#include <csignal>

#include "platform/foundation/Log.h"
#include "platform/foundation/ThreadRegistry.h"

namespace platform {

Process& Process::current() {
  // Never destroyed: the client's single objects live until the process ends, and destroying
  // them from exit handlers (in no useful order, with worker threads still running) would crash.
  static Process* process = new Process;
  return *process;
}

void Process::onShutdown(std::function<void()> hook) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  shutdown_.push_back(std::move(hook));
}

void Process::addResetHook(std::string name, std::function<void(ResetKind)> hook) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  // A module that registers again (after a reset, on first use) replaces its hook.
  for (auto& [n, h] : resetHooks_) {
    if (n == name) {
      h = std::move(hook);
      return;
    }
  }
  resetHooks_.emplace_back(std::move(name), std::move(hook));
}

size_t Process::sharedCount() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return objects_.size();
}

void Process::reset(ResetKind kind) {
  // 1. Shutdown hooks, newest first (hooks added by hooks run too).
  for (;;) {
    std::vector<std::function<void()>> hooks;
    {
      std::lock_guard<std::recursive_mutex> lock(mutex_);
      hooks.swap(shutdown_);
    }
    if (hooks.empty()) break;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) (*it)();
  }

  // 2. Every tracked thread (pool, operations, detached) is stopped and joined.
  ThreadRegistry::stopAndJoin();

  // 3. Single objects, newest first, one at a time and outside the lock: a destructor may still
  // use an older single object, or even create one (it is destroyed in turn).
  constexpr int kMaxDestroyed = 100000;
  for (int n = 0;; ++n) {
    std::shared_ptr<void> victim;
    {
      std::lock_guard<std::recursive_mutex> lock(mutex_);
      if (order_.empty()) break;
      auto type = order_.back();
      order_.pop_back();
      auto it = objects_.find(type);
      if (it != objects_.end()) {
        victim = std::move(it->second);
        objects_.erase(it);
      }
    }
    if (n == kMaxDestroyed) {
      log::error("Process", "reset: single objects keep re-creating each other");
      break;
    }
    victim.reset();
  }

  // 4. Threads started by destructors.
  ThreadRegistry::stopAndJoin();

  // 5. Reset hooks, in registration order.
  std::vector<std::pair<std::string, std::function<void(ResetKind)>>> hooks;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    hooks = resetHooks_;
    ++resets_;
  }
  for (auto& [name, hook] : hooks) hook(kind);
}

void ignoreSigpipe() {
  struct sigaction sa {};
  sa.sa_handler = SIG_IGN;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGPIPE, &sa, nullptr);
}

}  // namespace platform
