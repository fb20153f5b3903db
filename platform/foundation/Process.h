// Process-wide single objects. The product creates each on first use and keeps it for the run;
// a test resets them all between tests ("fresh") or simulates a new run of the client ("restart").
#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <vector>

namespace platform {

enum class ResetKind {
  Fresh,    // new sandbox folder, empty user defaults, new virtual clock
  Restart,  // keep the sandbox on disk (files and user defaults): a new run of the client
};

class Process {
 public:
  static Process& current();

  // The one T of this process, created on first use under one lock (T must be default
  // constructible, possibly through a friend declaration of Process).
  template <class T>
  T& shared() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = objects_.find(std::type_index(typeid(T)));
    if (it != objects_.end()) return *static_cast<T*>(it->second.get());
    auto holder = std::shared_ptr<void>(new T(), [](void* p) { delete static_cast<T*>(p); });
    T* raw = static_cast<T*>(holder.get());
    objects_.emplace(std::type_index(typeid(T)), holder);
    order_.push_back(std::type_index(typeid(T)));
    return *raw;
  }
  template <class T>
  T* sharedIfExists() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = objects_.find(std::type_index(typeid(T)));
    return it == objects_.end() ? nullptr : static_cast<T*>(it->second.get());
  }
  // Drops the single T (for deletable shared objects such as reader drivers).
  template <class T>
  void forget() {
    std::shared_ptr<void> keep;
    {
      std::lock_guard<std::recursive_mutex> lock(mutex_);
      auto it = objects_.find(std::type_index(typeid(T)));
      if (it == objects_.end()) return;
      keep = std::move(it->second);
      objects_.erase(it);
      std::erase(order_, std::type_index(typeid(T)));
    }
  }

  // One-shot hooks run at the next reset before the singletons go (stop timers, close sockets).
  void onShutdown(std::function<void()> hook);
  // Hooks kept for the life of the process, run at every reset after the singletons are gone
  // (platform layers use them to install a fresh clock, sandbox, and so on).
  void addResetHook(std::string name, std::function<void(ResetKind)> hook);

  // Tests only: shutdown hooks, tracked threads joined, singletons destroyed newest first, reset
  // hooks. The product never calls it.
  void reset(ResetKind kind);
  int resetCount() const { return resets_; }
  // Number of single objects alive (tests).
  size_t sharedCount();

 private:
  std::recursive_mutex mutex_;
  std::unordered_map<std::type_index, std::shared_ptr<void>> objects_;
  std::vector<std::type_index> order_;
  std::vector<std::function<void()>> shutdown_;
  std::vector<std::pair<std::string, std::function<void(ResetKind)>>> resetHooks_;
  int resets_ = 0;
};

// The product's main and the test main: writes to a closed socket or pipe return EPIPE instead of
// killing the process.
void ignoreSigpipe();

}  // namespace platform
