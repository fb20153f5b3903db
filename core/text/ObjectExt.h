// Calls on objects that may or may not have an operation. An operation that a receiver may lack
// is an empty std::function, never a default that hides the difference.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace nvx {

// Sets the object's delegate when its class has a delegate setter; returns the object.
template <class T, class D>
std::shared_ptr<T> bindDelegate(std::shared_ptr<T> object, D&& delegate) {
  if constexpr (requires { object->setDelegate(std::forward<D>(delegate)); }) {
    if (object) object->setDelegate(std::forward<D>(delegate));
  }
  return object;
}

// Calls the operation with the arguments in order when the receiver has it (the function is
// not empty). Its result, or nothing when it is missing; void operations return nothing.
template <class R, class... P, class... A>
auto performSelector(const std::function<R(P...)>& operation, A&&... arguments) {
  if constexpr (std::is_void_v<R>) {
    if (operation) operation(std::forward<A>(arguments)...);
  } else {
    return operation ? std::optional<R>(operation(std::forward<A>(arguments)...)) : std::nullopt;
  }
}

}  // namespace nvx
