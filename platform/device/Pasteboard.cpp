#include "platform/device/Pasteboard.h"

#include "platform/foundation/Process.h"

namespace platform {

Pasteboard& Pasteboard::general() { return Process::current().shared<Pasteboard>(); }

std::optional<std::string> Pasteboard::string() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return string_;
}

void Pasteboard::setString(std::optional<std::string> text) {
  std::lock_guard<std::mutex> lock(mutex_);
  string_ = std::move(text);
}

}  // namespace platform
