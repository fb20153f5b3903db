// The queue that carries recorded blocks from the audio input side to the driver's decode thread,
// oldest first. In product mode OutQueue waits for a block; Interrupt releases a waiting consumer
// and from then on OutQueue never waits again (blocks already queued are still handed out).
//
// The wait is on the process clock, so a consumer that waits counts as idle on the virtual clock
// and a process reset wakes it.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace nvx::reader::f0008 {

class RQueue {
 public:
  using Data = std::vector<int16_t>;

  RQueue();                              // product mode
  explicit RQueue(bool productMode);     // initWithMode
  ~RQueue();                             // interrupts first
  RQueue(const RQueue&) = delete;
  RQueue& operator=(const RQueue&) = delete;

  // Appends the block and, in product mode, wakes one waiting consumer.
  void EnterQueue(Data data);
  // The oldest block; in product mode it waits while the queue is empty and not interrupted.
  // Nothing when the queue is empty (after an interrupt, outside product mode, or while the
  // process shuts down).
  std::optional<Data> OutQueue();
  void EmptyQueue();
  size_t Count() const;
  void Interrupt();

  bool bProductMode() const;
  bool bInterrupt() const;

 private:
  mutable std::mutex lock_;
  std::condition_variable_any wake_;
  std::deque<Data> mutableArray_;
  bool bProductMode_ = true;
  bool bInterrupt_ = false;
};

}  // namespace nvx::reader::f0008
