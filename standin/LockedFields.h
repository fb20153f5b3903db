// The lock of a simulated device and its one-field accessors: the setters and questions of tests
// come from other threads than the audio engine's (or the device's own) thread that uses the
// fields.
#pragma once
#include <mutex>
#include <utility>

namespace standin {

class LockedFields {
 protected:
  template <class T, class V>
  void setLocked(T& field, V&& value) {
    std::lock_guard<std::mutex> lock(mutex_);
    field = std::forward<V>(value);
  }
  template <class T>
  T locked(const T& field) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return field;
  }

  mutable std::mutex mutex_;
};

}  // namespace standin
