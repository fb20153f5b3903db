#include "reader/f0008/SwipCard_Lib_x/Audio/RQueue.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"

namespace nvx::reader::f0008 {

namespace {
// A waiting consumer looks again this often even when nobody wakes it (a clock that was replaced).
constexpr platform::Duration kWaitSlice = std::chrono::hours(1);
}  // namespace

RQueue::RQueue() = default;

RQueue::RQueue(bool productMode) : bProductMode_(productMode) {}

RQueue::~RQueue() {
  Interrupt();
  std::lock_guard<std::mutex> lock(lock_);
  mutableArray_.clear();
}

void RQueue::EnterQueue(Data data) {
  std::lock_guard<std::mutex> lock(lock_);
  mutableArray_.push_back(std::move(data));
  if (bProductMode_) wake_.notify_one();
}

std::optional<RQueue::Data> RQueue::OutQueue() {
  std::unique_lock<std::mutex> lock(lock_);
  if (bProductMode_) {
    auto ready = [this] { return !mutableArray_.empty() || bInterrupt_ || platform::Thread::stopping(); };
    while (!ready()) {
      platform::clock().waitUntil(lock, wake_, platform::clock().now() + kWaitSlice, ready);
    }
  }
  if (mutableArray_.empty()) return std::nullopt;
  Data data = std::move(mutableArray_.front());
  mutableArray_.pop_front();
  return data;
}

void RQueue::EmptyQueue() {
  std::lock_guard<std::mutex> lock(lock_);
  mutableArray_.clear();
}

size_t RQueue::Count() const {
  std::lock_guard<std::mutex> lock(lock_);
  return mutableArray_.size();
}

void RQueue::Interrupt() {
  std::lock_guard<std::mutex> lock(lock_);
  bInterrupt_ = true;
  wake_.notify_one();
}

bool RQueue::bProductMode() const {
  std::lock_guard<std::mutex> lock(lock_);
  return bProductMode_;
}

bool RQueue::bInterrupt() const {
  std::lock_guard<std::mutex> lock(lock_);
  return bInterrupt_;
}

}  // namespace nvx::reader::f0008
