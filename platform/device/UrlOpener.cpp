#include "platform/device/UrlOpener.h"

#include <optional>

#include "platform/foundation/Process.h"

namespace platform {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lower(c);
  return out;
}

// The scheme of an absolute URL: a letter, then letters, digits, "+", "-" or ".", up to ":".
std::optional<std::string> schemeOf(std::string_view url) {
  size_t colon = url.find(':');
  if (colon == 0 || colon == std::string_view::npos) return std::nullopt;
  for (size_t i = 0; i < colon; ++i) {
    char c = lower(url[i]);
    bool letter = c >= 'a' && c <= 'z';
    bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!letter && (i == 0 || !other)) return std::nullopt;
  }
  return lowered(url.substr(0, colon));
}

}  // namespace

UrlOpener::UrlOpener() : schemes_{"tel", "http", "https"} {}

UrlOpener& UrlOpener::shared() { return Process::current().shared<UrlOpener>(); }

bool UrlOpener::canOpenLocked(std::string_view url) const {
  auto scheme = schemeOf(url);
  return scheme && schemes_.count(*scheme) > 0;
}

bool UrlOpener::canOpen(std::string_view url) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return canOpenLocked(url);
}

bool UrlOpener::open(std::string_view url) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!canOpenLocked(url)) return false;
  opened_.emplace_back(url);
  return true;
}

std::vector<std::string> UrlOpener::opened() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return opened_;
}

void UrlOpener::setOpenable(std::string_view scheme, bool openable) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (openable) {
    schemes_.insert(lowered(scheme));
  } else {
    schemes_.erase(lowered(scheme));
  }
}

std::set<std::string> UrlOpener::openableSchemes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return schemes_;
}

}  // namespace platform
