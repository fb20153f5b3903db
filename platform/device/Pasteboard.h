// The general pasteboard's text.
#pragma once
#include <mutex>
#include <optional>
#include <string>

namespace platform {

class Pasteboard {
 public:
  static Pasteboard& general();
  std::optional<std::string> string() const;
  void setString(std::optional<std::string> text);

 private:
  friend class Process;
  Pasteboard() = default;
  mutable std::mutex mutex_;
  std::optional<std::string> string_;
};

}  // namespace platform
