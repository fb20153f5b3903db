// A buffer of an audio queue (output or input): allocated by the queue, owned by it, lent to the
// application between callbacks. The application may touch a buffer only while it is not enqueued.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::media {

struct QueueBuffer {
  std::vector<uint8_t> data;   // the capacity, fixed at allocation
  size_t byteSize = 0;         // valid bytes: set by the application before enqueueing an output
                               // buffer; set by the queue when it hands back a filled input buffer
  void* userData = nullptr;    // the application's own

  size_t capacity() const { return data.size(); }
};

}  // namespace platform::media
