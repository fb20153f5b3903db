#include "reader/f0008/SwipCard_Lib_x/Audio/CSoftDecode.h"

#include <cstdio>
#include <cstdlib>

#include "platform/foundation/Log.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CSetting.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CSoftDecodeForAverage.h"

namespace nvx::reader::f0008 {

namespace {

constexpr const char* kTag = "CSoftDecode";
constexpr int32_t kSearch = 0;
constexpr int32_t kLearn = 1;
constexpr int32_t kCollect = 2;
constexpr int32_t kEnded = 3;
constexpr int32_t kOverflow = 4;
constexpr int32_t kAssembled = 5;
constexpr int32_t kLearnFrom = 50;   // intervals 51 to 100 are learnt from
constexpr int32_t kLearnUntil = 100;

template <class... Args>
void trace(const char* format, Args... args) {
  char line[160];
  std::snprintf(line, sizeof line, format, args...);
  platform::log::debug(kTag, line);
}

}  // namespace

void CSoftDecode::reset(const CSetting& setting) {
  status_ = kDecodeSearching;
  initFromSettings(setting);
}

void CSoftDecode::setBaseline(int32_t baseline) {
  baseline_ = baseline;
  lower_ = baseline_ - halfWidth_;
  upper_ = baseline_ + halfWidth_;
}

void CSoftDecode::clearRun() { run_ = 0; }

void CSoftDecode::clearLearning() {
  samplesSeen_ = 0;
  runningSum_ = 0;
  crestValue_ = baseline_;
  crestPosition_ = 0;
  crestSum_ = 0;
  previousCrestPosition_ = 0;
  previousCrestSum_ = 0;
  skipFirst_ = true;
  intervals_ = 0;
  learntLength_ = 0;
  learntSum_ = 0;
}

void CSoftDecode::initFromSettings(const CSetting& setting) {
  halfWidth_ = setting.getUThrshOffVal();
  setBaseline(0);
  minSymbols_ = setting.getUValidBitStreamMin();
  refM_ = setting.getURefCycleM();
  refD_ = setting.getURefCycleD();
  bit1Ratio_ = setting.getUBit1CycleRatio();
  bit0Ratio_ = setting.getUBit0CycleRatio();
  maxDeadBand_ = setting.getUInvalidCycleCountMax();
  shortestValid_ = setting.getUValidSampleCountMin();
  longestValid_ = setting.getUValidSampleCountMax();
  phase_ = kSearch;
  clearRun();
  clearLearning();
}

int32_t CSoftDecode::decode(DecodeRecord& record) {
  while (record.position < record.count && phase_ < kEnded) {
    if (phase_ == kSearch) {
      status_ = kDecodeSearching;
      phase_ = findCarrier(record);
    } else if (phase_ == kLearn) {
      status_ = kDecodeLearning;
      phase_ = learnCarrier(record);
    } else {
      status_ = kDecodeCollecting;
      phase_ = collect(record);
    }
  }
  if (phase_ == kEnded || phase_ == kOverflow) {
    status_ = assemble(record);
    phase_ = kAssembled;
  }
  return status_;
}

CSoftDecode::Step CSoftDecode::step(int16_t sample, int32_t& interval) {
  const int32_t s = sample;
  ++samplesSeen_;
  runningSum_ += s;
  if (s >= lower_ && s <= upper_) {
    return ++run_ >= maxDeadBand_ ? Step::DeadBand : Step::Sample;
  }
  run_ = 0;
  const bool edge = (polarity_ == 1 && s < lower_) || (polarity_ != 1 && s > upper_);
  if (!edge) {
    if (std::abs(s - baseline_) > std::abs(crestValue_ - baseline_)) {
      crestValue_ = s;
      crestPosition_ = samplesSeen_;
      crestSum_ = runningSum_;
    }
    return Step::Sample;
  }
  polarity_ = s > upper_ ? 1 : -1;
  // The half cycle that ends here has its crest: the interval runs from the crest before it.
  const bool measured = !skipFirst_;
  interval = static_cast<int32_t>(crestPosition_ - previousCrestPosition_);
  lastIntervalSum_ = crestSum_ - previousCrestSum_;
  skipFirst_ = false;
  previousCrestPosition_ = crestPosition_;
  previousCrestSum_ = crestSum_;
  crestValue_ = s;
  crestPosition_ = samplesSeen_;
  crestSum_ = runningSum_;
  return measured ? Step::Interval : Step::Sample;
}

int32_t CSoftDecode::findCarrier(DecodeRecord& record) {
  for (size_t i = record.position; i < record.count; ++i) {
    const int32_t s = record.samples[i];
    if (s < lower_ || s > upper_) {
      polarity_ = s > upper_ ? 1 : -1;
      trace("检测到载波 : iAxisFlag = %d", polarity_);
      clearRun();
      clearLearning();
      record.symbolCount = 0;
      record.symbolCountCopy = 0;
      record.position = i;
      return kLearn;
    }
  }
  record.position = record.count;
  return kSearch;
}

int32_t CSoftDecode::learnCarrier(DecodeRecord& record) {
  trace("RDEM_CARRIER...");
  for (size_t i = record.position; i < record.count; ++i) {
    int32_t interval = 0;
    const Step st = step(record.samples[i], interval);
    if (st == Step::DeadBand) {
      trace("ACDemUpdateSampleParam : iInvalidCount = %d", run_);
      record.position = i + 1;
      return kSearch;
    }
    if (st != Step::Interval) continue;
    if (interval < shortestValid_ || interval > longestValid_) {
      record.position = i + 1;
      return kSearch;
    }
    if (++intervals_ > kLearnFrom) {
      learntLength_ += interval;
      learntSum_ += lastIntervalSum_;
      trace("iCrestRangeSampleCount : %d , lCrestSampleValue = %ld", interval, static_cast<long>(lastIntervalSum_));
    }
    if (intervals_ == kLearnUntil && learntLength_ > 0) {
      const int32_t average = static_cast<int32_t>(learntLength_ / (kLearnUntil - kLearnFrom));
      setBaseline(static_cast<int32_t>(learntSum_ / learntLength_));
      maxDeadBand_ = 2 * average;
      const double tolerance = refD_ != 0 ? 1.0 + static_cast<double>(refM_) / refD_ : 1.0;
      const double ratio = bit0Ratio_ != 0 ? static_cast<double>(bit1Ratio_) / bit0Ratio_ : 1.0;
      symbolLimit_ = static_cast<int32_t>(average * ratio * tolerance);
      record.position = i + 1;
      return kCollect;
    }
  }
  record.position = record.count;
  return kLearn;
}

int32_t CSoftDecode::frameEnded(DecodeRecord& record, size_t symbols) {
  if (symbols > static_cast<size_t>(minSymbols_)) return kEnded;
  record.symbolCount = 0;
  record.symbolCountCopy = 0;
  return kSearch;
}

template <class Store>
int32_t CSoftDecode::scanData(DecodeRecord& record, Store&& store) {
  size_t symbols = record.symbolCount;
  auto finish = [&](size_t at, int32_t next) {
    record.symbolCount = symbols;
    record.symbolCountCopy = symbols;
    record.position = at;
    return next;
  };
  for (size_t i = record.position; i < record.count; ++i) {
    int32_t interval = 0;
    const Step st = step(record.samples[i], interval);
    if (st == Step::DeadBand) {
      trace("ACDemCarrier : iInvalidCount = %d", run_);
      finish(i + 1, kSearch);
      return frameEnded(record, symbols);
    }
    if (st == Step::Interval && !store(interval, symbols)) {
      trace("Bit缓冲区溢出 RDEM_CARRY_BUF_OVER");
      return finish(i + 1, kOverflow);
    }
  }
  return finish(record.count, kCollect);
}

int32_t CSoftDecode::collect(DecodeRecord& record) {
  trace("RDEM_DATACOLLECT...");
  return scanData(record, [&](int32_t interval, size_t& symbols) {
    if (symbols >= record.symbols.size()) return false;
    record.symbols[symbols++] = interval <= symbolLimit_ ? 1 : 0;
    return true;
  });
}

int32_t CSoftDecode::assemble(DecodeRecord& record) {
  const size_t n = record.symbolCount;
  size_t at = 0;
  while (at < n && record.symbols[at] != 1) ++at;
  size_t bytes = 0;
  int bits = 0;
  uint8_t value = 0;
  while (at < n) {
    if (bytes >= record.bytes.size()) {
      trace("字节缓冲区不足，结束！");
      break;
    }
    const bool one = record.symbols[at] == 1;
    at += one ? 4 : 2;
    value = static_cast<uint8_t>((value << 1) | (one ? 1 : 0));
    if (++bits == 8) {
      record.bytes[bytes++] = value;
      bits = 0;
      value = 0;
    }
  }
  record.byteCount = bytes;
  return bytes > 0 ? kDecodeFrame : kDecodeNoBytes;
}

// ---------------------------------------------------------------------------------- by pairs

void CSoftDecodeForAverage::clearLearning() {
  CSoftDecode::clearLearning();
  started_ = false;
  previousShort_ = false;
  pending_ = -1;
}

int32_t CSoftDecodeForAverage::collect(DecodeRecord& record) {
  trace("RDEM_DATACOLLECT...");
  return scanData(record, [&](int32_t interval, size_t& symbols) {
    if (!started_) {
      if (previousShort_ && interval > symbolLimit_) {
        started_ = true;
        symbols = 0;
        for (int k = 0; k < 4; ++k) record.symbols[symbols++] = 1;
        pending_ = interval;
      } else {
        previousShort_ = interval <= symbolLimit_;
      }
      return true;
    }
    if (pending_ < 0) {
      pending_ = interval;
      return true;
    }
    if (symbols + 2 > record.symbols.size()) return false;
    const uint8_t symbol = pending_ + interval > 2 * symbolLimit_ ? 0 : 1;
    record.symbols[symbols++] = symbol;
    record.symbols[symbols++] = symbol;
    pending_ = -1;
    return true;
  });
}

}  // namespace nvx::reader::f0008
