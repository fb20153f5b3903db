// Results of our own calls: no exceptions cross a module boundary.
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace platform {

class [[nodiscard]] Status {
 public:
  Status() = default;
  static Status success() { return Status(); }
  static Status error(std::string message) { Status s; s.error_ = std::move(message); return s; }
  bool isOk() const { return !error_; }
  explicit operator bool() const { return isOk(); }
  const std::string& message() const { static const std::string none; return error_ ? *error_ : none; }

 private:
  std::optional<std::string> error_;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Status error) : v_(std::move(error)) {}
  bool isOk() const { return std::holds_alternative<T>(v_); }
  explicit operator bool() const { return isOk(); }
  T& value() { return std::get<T>(v_); }
  const T& value() const { return std::get<T>(v_); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  std::string error() const { return isOk() ? std::string() : std::get<Status>(v_).message(); }

 private:
  std::variant<T, Status> v_;
};

}  // namespace platform
