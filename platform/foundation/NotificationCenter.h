// Named notifications delivered synchronously, on the posting thread, to every observer of the
// name (and of the sender, or of any sender).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Json.h"

namespace platform {

struct Notification {
  std::string name;
  const void* sender = nullptr;
  Json userInfo;
};

class NotificationCenter {
 public:
  using Callback = std::function<void(const Notification&)>;
  struct State;

  // Keeps an observer registered while it lives (or until cancel()). Safe to destroy after the
  // centre itself is gone, and from inside the observer's own callback.
  class Observation {
   public:
    Observation() = default;
    Observation(Observation&&) noexcept;
    Observation& operator=(Observation&&) noexcept;
    Observation(const Observation&) = delete;
    Observation& operator=(const Observation&) = delete;
    ~Observation();
    void cancel();
    bool active() const;

   private:
    friend class NotificationCenter;
    Observation(std::weak_ptr<State> state, uint64_t id) : state_(std::move(state)), id_(id) {}
    std::weak_ptr<State> state_;
    uint64_t id_ = 0;
  };

  static NotificationCenter& shared();

  // sender nullptr: notifications of that name from any sender.
  [[nodiscard]] Observation observe(std::string name, const void* sender, Callback callback);
  // Calls the matching observers in registration order before returning. An observer removed
  // during the post (by itself or another) is not called afterwards; one added during the post
  // waits for the next post.
  void post(std::string_view name, const void* sender = nullptr, Json userInfo = Json());
  void post(const Notification& note);

 private:
  friend class Process;
  NotificationCenter();
  std::shared_ptr<State> state_;
};

}  // namespace platform
