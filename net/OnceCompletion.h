// A completion that runs on the main loop exactly once.
//
// Calling it (from any thread) queues the function with the arguments on the main run loop;
// it runs there later, never inside the call. A second call is a no-op (logged). Copies share
// one state: when the last copy goes without the completion having been called, that is logged
// once as a dropped completion (a caller would otherwise wait forever without a trace).
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace nvx {

namespace once_completion_detail {
void logDropped(const std::string& name);
void logSecondCall(const std::string& name);
}  // namespace once_completion_detail

template <class Signature>
class OnceCompletion;

template <class... Args>
class OnceCompletion<void(Args...)> {
 public:
  using Function = std::function<void(Args...)>;

  OnceCompletion() = default;
  // name: what the log says when the completion is dropped or called twice.
  OnceCompletion(Function function, std::string name = "completion")  // NOLINT: implicit by design
      : state_(function ? std::make_shared<State>(std::move(function), std::move(name)) : nullptr) {}
  template <class F, class = std::enable_if_t<std::is_invocable_v<F&, Args...> &&
                                              !std::is_same_v<std::decay_t<F>, OnceCompletion> &&
                                              !std::is_same_v<std::decay_t<F>, Function>>>
  OnceCompletion(F function, std::string name = "completion")  // NOLINT: implicit by design
      : OnceCompletion(Function(std::move(function)), std::move(name)) {}

  explicit operator bool() const { return state_ != nullptr; }
  // Whether it has been called (queued).
  bool fired() const { return state_ && state_->fired.load(); }

  // Queues the function with these arguments on the main loop; later calls do nothing.
  void operator()(Args... args) const {
    if (!state_) return;
    if (state_->fired.exchange(true)) {
      once_completion_detail::logSecondCall(state_->name);
      return;
    }
    Function function = std::move(state_->function);
    state_->function = nullptr;
    platform::dispatchMain([function = std::move(function), args = std::make_tuple(std::move(args)...)]() mutable {
      std::apply(function, std::move(args));
    });
  }

 private:
  struct State {
    State(Function f, std::string n) : function(std::move(f)), name(std::move(n)) {}
    ~State() {
      if (!fired.load()) once_completion_detail::logDropped(name);
    }
    Function function;
    std::string name;
    std::atomic<bool> fired{false};
  };
  std::shared_ptr<State> state_;
};

}  // namespace nvx
