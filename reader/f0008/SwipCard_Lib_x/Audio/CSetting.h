// The settings of the "0008" reader link: rates, the dead band around the baseline, the interval
// limits of the reply demodulator, and the decoder that goes with them. CSetting holds the base
// values and decodes with CSoftDecodeForAverage; ZE1601IOSetting holds the values the driver uses
// and decodes with CZE1601IODecode. The settings own their decoder.
#pragma once
#include <cstdint>
#include <memory>

namespace nvx::reader::f0008 {

class CDecode;

class CSetting {
 public:
  CSetting();
  virtual ~CSetting();
  CSetting(const CSetting&) = delete;
  CSetting& operator=(const CSetting&) = delete;

  virtual int32_t getPlaySampleRate() const { return playSampleRate_; }
  virtual int32_t getRecordSampleRate() const { return recordSampleRate_; }
  virtual int32_t getRecordBufRate() const { return recordBufRate_; }
  virtual int32_t getPlayBufRate() const { return playBufRate_; }
  // Half width of the dead band around the baseline, in sample units.
  virtual int32_t getUThrshOffVal() const { return uThrshOffVal_; }
  // The interval tolerance, as the fraction M / D.
  virtual int32_t getURefCycleM() const { return uRefCycleM_; }
  virtual int32_t getURefCycleD() const { return uRefCycleD_; }
  virtual int32_t getCommunicationType() const { return communicationType_; }
  // The decoder, owned by the settings.
  virtual CDecode* getDecode() const { return decode_.get(); }
  // Relative lengths of a one and a zero.
  virtual int32_t getUBit1CycleRatio() const { return uBit1CycleRatio_; }
  virtual int32_t getUBit0CycleRatio() const { return uBit0CycleRatio_; }
  // Consecutive dead-band samples that end a frame.
  virtual int32_t getUInvalidCycleCountMax() const { return uInvalidCycleCountMax_; }
  // Fewest symbols of a frame.
  virtual int32_t getUValidBitStreamMin() const { return uValidBitStreamMin_; }
  // Shortest and longest valid interval, in samples.
  virtual int32_t getUValidSampleCountMin() const { return uValidSampleCountMin_; }
  virtual int32_t getUValidSampleCountMax() const { return uValidSampleCountMax_; }

 protected:
  // For the derived settings: their own decoder instead of the base one.
  explicit CSetting(std::unique_ptr<CDecode> decode);

  int32_t playSampleRate_ = 44100;
  int32_t recordSampleRate_ = 44100;
  int32_t recordBufRate_ = 4;
  int32_t playBufRate_ = 2;
  int32_t uThrshOffVal_ = 2000;
  int32_t uRefCycleM_ = 1;
  int32_t uRefCycleD_ = 2;
  int32_t uBit1CycleRatio_ = 1;
  int32_t uBit0CycleRatio_ = 2;
  int32_t uInvalidCycleCountMax_ = 30;
  int32_t uValidBitStreamMin_ = 80;
  int32_t communicationType_ = 144;
  int32_t uValidSampleCountMin_ = 3;
  int32_t uValidSampleCountMax_ = 20;

 private:
  std::unique_ptr<CDecode> decode_;
};

class ZE1601IOSetting final : public CSetting {
 public:
  ZE1601IOSetting();
  ~ZE1601IOSetting() override;
};

}  // namespace nvx::reader::f0008
