// The base settings' decoder as they make it: it learns the carrier as CSoftDecode does, but reads
// the data by pairs of intervals, which keeps a baseline that is a little off from tilting the
// symbols. It waits for an interval up to the symbol limit followed by a longer one (the end of
// the frame's first one bit), writes four 1 symbols for that bit, then from the longer interval
// on adds intervals in pairs: a pair longer than twice the limit is two 0 symbols, else two 1s.
#pragma once
#include "reader/f0008/SwipCard_Lib_x/Audio/CSoftDecode.h"

namespace nvx::reader::f0008 {

class CSoftDecodeForAverage final : public CSoftDecode {
 public:
  void clearLearning() override;
  int32_t collect(DecodeRecord& record) override;

 private:
  bool started_ = false;
  bool previousShort_ = false;
  int32_t pending_ = -1;   // the first interval of a pair, or -1
};

}  // namespace nvx::reader::f0008
