#include "platform/foundation/Log.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace platform::log {

struct Capture::Impl {
  mutable std::mutex mutex;
  std::vector<std::string> lines;
};

namespace {

std::mutex gMutex;  // one line at a time, and the list of captures
std::vector<std::shared_ptr<Capture::Impl>> gCaptures;
// -1: not read from the environment yet.
std::atomic<int> gMinimum{-1};

Level levelFromEnvironment() {
  const char* env = std::getenv("NVX_LOG");
  std::string v = env ? env : "";
  std::transform(v.begin(), v.end(), v.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (v == "debug") return Level::Debug;
  if (v == "info") return Level::Info;
  if (v == "error") return Level::Error;
  return Level::Warning;
}

char letter(Level level) {
  switch (level) {
    case Level::Debug: return 'D';
    case Level::Info: return 'I';
    case Level::Warning: return 'W';
    case Level::Error: return 'E';
  }
  return '?';
}

}  // namespace

Level minimumLevel() {
  int m = gMinimum.load();
  if (m < 0) {
    m = static_cast<int>(levelFromEnvironment());
    int expected = -1;
    gMinimum.compare_exchange_strong(expected, m);
    m = gMinimum.load();
  }
  return static_cast<Level>(m);
}

void setMinimumLevel(Level level) { gMinimum.store(static_cast<int>(level)); }

void write(Level level, std::string_view tag, std::string_view message) {
  std::string line;
  line.reserve(tag.size() + message.size() + 2);
  line.append(tag).append(": ").append(message);
  bool print = static_cast<int>(level) >= static_cast<int>(minimumLevel());
  std::lock_guard<std::mutex> lock(gMutex);
  for (auto& c : gCaptures) {
    std::lock_guard<std::mutex> clock(c->mutex);
    c->lines.push_back(line);
  }
  if (print) {
    std::string out;
    out.reserve(line.size() + 5);
    out.push_back('[');
    out.push_back(letter(level));
    out.append("] ").append(line).push_back('\n');
    std::fwrite(out.data(), 1, out.size(), stderr);
  }
}

Capture::Capture() : impl_(std::make_shared<Impl>()) {
  std::lock_guard<std::mutex> lock(gMutex);
  gCaptures.push_back(impl_);
}

Capture::~Capture() {
  std::lock_guard<std::mutex> lock(gMutex);
  std::erase(gCaptures, impl_);
}

std::vector<std::string> Capture::lines() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->lines;
}

bool Capture::contains(std::string_view text) const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  for (auto& l : impl_->lines)
    if (l.find(text) != std::string::npos) return true;
  return false;
}

void Capture::clear() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->lines.clear();
}

}  // namespace platform::log
