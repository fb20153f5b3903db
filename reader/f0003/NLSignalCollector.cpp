#include "reader/f0003/NLSignalCollector.h"

#include <algorithm>
#include <cstdlib>

#include "reader/f0003/NLDemodulator.h"

namespace nvx::reader {

NLSignalCollector::NLSignalCollector(Mode mode) : mode_(mode) { store_.reserve(kStoreSamples); }

size_t NLSignalCollector::crossings(std::span<const int16_t> buffer, int level) {
  size_t count = 0;
  int sign = 0;
  int extreme = 0;
  for (int16_t s : buffer) {
    const int x = s;
    if (x == 0) continue;
    const int sx = x > 0 ? 1 : -1;
    if (sign != 0 && sx != sign) {
      if (std::abs(extreme) > level) ++count;
      extreme = 0;
    }
    sign = sx;
    if (std::abs(x) > std::abs(extreme)) extreme = x;
  }
  return count;
}

bool NLSignalCollector::starts(std::span<const int16_t> buffer) const {
  if (mode_ == Mode::Framed) return NLDemodulator::signalStarts(buffer);
  return crossings(buffer, kRawStartLevel) > kRawStartCrossings;
}

bool NLSignalCollector::goesOn(std::span<const int16_t> buffer) const {
  if (mode_ == Mode::Framed) return NLDemodulator::signalGoesOn(buffer);
  return crossings(buffer, kRawEndLevel) > kRawEndCrossings;
}

bool NLSignalCollector::feed(std::span<const int16_t> buffer) {
  if (!collecting_) {
    if (starts(buffer)) {
      collecting_ = true;
      overflow_ = false;
      if (store_.size() + buffer.size() > kStoreSamples) store_.clear();
    } else {
      // This buffer is the lead-in of the next one.
      store_.clear();
    }
    const size_t room = kStoreSamples - store_.size();
    store_.insert(store_.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(std::min(room, buffer.size())));
    if (!collecting_) return false;
  } else if (store_.size() + buffer.size() <= kStoreSamples) {
    store_.insert(store_.end(), buffer.begin(), buffer.end());
  } else {
    overflow_ = true;
  }
  return overflow_ || !goesOn(buffer);
}

void NLSignalCollector::reset() {
  store_.clear();
  collecting_ = false;
  overflow_ = false;
}

}  // namespace nvx::reader
