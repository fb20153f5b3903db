// The decoder of the base settings (CSetting), which learns the carrier instead of relying on
// fixed limits: it follows the crest of each half cycle (the sample furthest from the baseline)
// and measures intervals from crest to crest. Over intervals 51 to 100 of the carrier it learns
// the mean interval and the baseline, rebuilds the dead band around that baseline and takes as
// the symbol limit mean × (one ratio / zero ratio) × (1 + M / D). It then stores a 1 symbol for
// every interval up to the limit and a 0 for a longer one; assembling reads a one bit from four
// symbols and a zero bit from two, most significant bit first, from the first 1 symbol on.
#pragma once
#include <cstdint>

#include "reader/f0008/SwipCard_Lib_x/Audio/CDecode.h"

namespace nvx::reader::f0008 {

class CSoftDecode : public CDecode {
 public:
  void reset(const CSetting& setting) override;
  int32_t decode(DecodeRecord& record) override;

  // --- the steps (each returns the next phase) ---
  virtual void setBaseline(int32_t baseline);
  virtual void clearRun();
  virtual void clearLearning();
  virtual void initFromSettings(const CSetting& setting);
  virtual int32_t findCarrier(DecodeRecord& record);
  virtual int32_t learnCarrier(DecodeRecord& record);
  virtual int32_t collect(DecodeRecord& record);
  virtual int32_t assemble(DecodeRecord& record);

  // --- what was learnt (tests) ---
  int32_t baseline() const { return baseline_; }
  int32_t symbolLimit() const { return symbolLimit_; }
  int32_t phase() const { return phase_; }

 protected:
  enum class Step { Sample, Interval, DeadBand };
  // One sample: the dead-band run, the crest of the running half cycle, and at a change of
  // polarity the interval from the previous crest (the first one after clearLearning is skipped).
  Step step(int16_t sample, int32_t& interval);
  // The data phase over the record's samples; `store` takes each interval and answers false
  // when the symbol buffer is full.
  template <class Store>
  int32_t scanData(DecodeRecord& record, Store&& store);
  // The symbols end the frame: assembled when there are more than the fewest, else dropped.
  int32_t frameEnded(DecodeRecord& record, size_t symbols);

  int32_t symbolLimit_ = 0;
  int32_t minSymbols_ = 0;

 private:
  int32_t status_ = 0;
  int32_t phase_ = 0;
  int32_t polarity_ = 0;
  int32_t baseline_ = 0;
  int32_t halfWidth_ = 0;
  int32_t lower_ = 0;
  int32_t upper_ = 0;
  int32_t refM_ = 1;
  int32_t refD_ = 2;
  int32_t bit1Ratio_ = 1;
  int32_t bit0Ratio_ = 2;
  int32_t maxDeadBand_ = 0;
  int32_t shortestValid_ = 0;
  int32_t longestValid_ = 0;
  int32_t run_ = 0;
  // Learning: the sample count and running sum since the carrier, the running half cycle's crest
  // and the previous crest, the intervals seen and those summed.
  int64_t samplesSeen_ = 0;
  int64_t runningSum_ = 0;
  int32_t crestValue_ = 0;
  int64_t crestPosition_ = 0;
  int64_t crestSum_ = 0;
  int64_t previousCrestPosition_ = 0;
  int64_t previousCrestSum_ = 0;
  int64_t lastIntervalSum_ = 0;   // the samples between the last two crests, summed
  bool skipFirst_ = true;
  int32_t intervals_ = 0;
  int64_t learntLength_ = 0;
  int64_t learntSum_ = 0;
};

}  // namespace nvx::reader::f0008
