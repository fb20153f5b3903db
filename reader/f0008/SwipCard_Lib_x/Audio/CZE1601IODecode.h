// The reply demodulator of the "0008" reader. The reply is biphase coded with a half cell of
// 44,100 / 4,800 = 9.1875 samples: a one is two half-cell intervals between level changes, a zero
// one full-cell interval. Levels are told apart by a fixed dead band around the baseline (±3,000):
// a level change is a crossing from beyond one edge of the band to beyond the other.
//
// A frame starts at the first sample outside the band. Each interval then gives a symbol: 6 to
// 13 samples a 1, 14 or more a 0; an interval of 5 samples or fewer is not the reader and drops
// the frame. 30 consecutive samples inside the band end it: with at least 40 symbols it is
// assembled, with fewer it is dropped. Assembling skips the 20 first symbols and every 0 up to the
// first 1, then reads bits most significant first (a 1 takes two symbols, a 0 one).
#pragma once
#include <cstdint>

#include "reader/f0008/SwipCard_Lib_x/Audio/CDecode.h"

namespace nvx::reader::f0008 {

class CZE1601IODecode : public CDecode {
 public:
  static constexpr size_t kLeadInSymbols = 20;

  void reset(const CSetting& setting) override;
  int32_t decode(DecodeRecord& record) override;

  // --- the steps (each returns the next phase) ---
  virtual void setBaseline(int32_t baseline);
  virtual void clearRun();
  virtual void initFromSettings(const CSetting& setting);
  virtual int32_t findCarrier(DecodeRecord& record);
  virtual int32_t collect(DecodeRecord& record);
  // 5 when at least one byte was made, else 4.
  virtual int32_t assemble(DecodeRecord& record);

  // --- state (tests) ---
  int32_t status() const { return status_; }
  int32_t phase() const { return phase_; }
  int32_t lowerLimit() const { return lower_; }
  int32_t upperLimit() const { return upper_; }
  int32_t shortIntervalLimit() const { return shortLimit_; }
  int32_t shortestValidInterval() const { return shortestValid_; }

 private:
  int32_t status_ = 0;
  float referenceRate_ = 4800.0f;
  int32_t phase_ = 0;
  int32_t polarity_ = 0;
  int32_t baseline_ = 0;
  int32_t halfWidth_ = 0;
  int32_t lower_ = 0;
  int32_t upper_ = 0;
  int32_t minSymbols_ = 0;
  int32_t run_ = 0;
  int32_t shortestValid_ = 0;
  int32_t longestValid_ = 0;   // kept; intervals are not bounded above
  int32_t baselineCounter_ = 0;
  int32_t maxDeadBand_ = 0;
  int32_t shortLimit_ = 0;
  int32_t secondLimit_ = 0;    // kept; not used
  int32_t sinceEdge_ = 0;
};

}  // namespace nvx::reader::f0008
