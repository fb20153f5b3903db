// A listener kept registered while its Subscription lives (or until cancel()), and the list that
// calls such listeners. Calls run outside the list's lock, so a listener may cancel itself or
// others; a call already under way on another thread may still finish after cancel() returns, so
// listeners capture their owners weakly.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace platform::media {

class Subscription {
 public:
  Subscription() = default;
  Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
  Subscription(Subscription&& o) noexcept : cancel_(std::exchange(o.cancel_, nullptr)) {}
  Subscription& operator=(Subscription&& o) noexcept {
    if (this != &o) {
      cancel();
      cancel_ = std::exchange(o.cancel_, nullptr);
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { cancel(); }
  void cancel() {
    if (auto c = std::exchange(cancel_, nullptr)) c();
  }
  bool active() const { return static_cast<bool>(cancel_); }

 private:
  std::function<void()> cancel_;
};

template <class... Args>
class ListenerList {
 public:
  using Callback = std::function<void(Args...)>;

  ListenerList() : state_(std::make_shared<State>()) {}

  [[nodiscard]] Subscription add(Callback cb) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    uint64_t id = ++state_->next;
    state_->entries.push_back({id, std::make_shared<Callback>(std::move(cb))});
    std::weak_ptr<State> weak = state_;
    return Subscription([weak, id] {
      if (auto s = weak.lock()) {
        std::lock_guard<std::mutex> lock(s->mutex);
        std::erase_if(s->entries, [id](const Entry& e) { return e.id == id; });
      }
    });
  }

  // Calls every listener registered now, in registration order; one cancelled meanwhile is skipped.
  void call(Args... args) const {
    std::vector<Entry> snapshot;
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      snapshot = state_->entries;
    }
    for (const Entry& e : snapshot) {
      {
        std::lock_guard<std::mutex> lock(state_->mutex);
        bool still = false;
        for (const Entry& x : state_->entries) still = still || x.id == e.id;
        if (!still) continue;
      }
      (*e.callback)(args...);
    }
  }

  bool empty() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->entries.empty();
  }

 private:
  struct Entry {
    uint64_t id;
    std::shared_ptr<Callback> callback;
  };
  struct State {
    std::mutex mutex;
    uint64_t next = 0;
    std::vector<Entry> entries;
  };
  std::shared_ptr<State> state_;
};

}  // namespace platform::media
