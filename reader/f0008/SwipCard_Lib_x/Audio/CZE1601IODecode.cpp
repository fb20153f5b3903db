#include "reader/f0008/SwipCard_Lib_x/Audio/CZE1601IODecode.h"

#include "reader/f0008/SwipCard_Lib_x/Audio/CSetting.h"

namespace nvx::reader::f0008 {

namespace {
constexpr int32_t kSearch = 0;
constexpr int32_t kCollect = 1;
constexpr int32_t kEnded = 2;
constexpr int32_t kSymbolsFull = 3;
constexpr int32_t kNoByte = 4;
constexpr int32_t kBytes = 5;
}  // namespace

void CZE1601IODecode::reset(const CSetting& setting) {
  status_ = kDecodeSearching;
  initFromSettings(setting);
}

void CZE1601IODecode::setBaseline(int32_t baseline) {
  baseline_ = baseline;
  baselineCounter_ = 0;
}

void CZE1601IODecode::clearRun() {
  run_ = 0;
  sinceEdge_ = 0;
}

void CZE1601IODecode::initFromSettings(const CSetting& setting) {
  setBaseline(0);
  halfWidth_ = setting.getUThrshOffVal();
  lower_ = baseline_ - halfWidth_;
  upper_ = baseline_ + halfWidth_;
  minSymbols_ = setting.getUValidBitStreamMin();
  maxDeadBand_ = setting.getUInvalidCycleCountMax();
  phase_ = kSearch;
  const double x = setting.getRecordSampleRate() / static_cast<double>(referenceRate_);
  const double tolerance =
      setting.getURefCycleD() != 0 ? x * setting.getURefCycleM() / setting.getURefCycleD() : 0.0;
  shortLimit_ = static_cast<int32_t>(static_cast<int32_t>(x) + tolerance);
  secondLimit_ = static_cast<int32_t>(static_cast<int32_t>(x) - tolerance);
  shortestValid_ = setting.getUValidSampleCountMin();
  longestValid_ = setting.getUValidSampleCountMax();
  clearRun();
}

int32_t CZE1601IODecode::decode(DecodeRecord& record) {
  while (record.position < record.count && phase_ < kEnded) {
    if (phase_ == kSearch) {
      status_ = kDecodeSearching;
      phase_ = findCarrier(record);
    } else {
      status_ = kDecodeCollecting;
      phase_ = collect(record);
    }
  }
  if (phase_ >= kEnded && phase_ < kNoByte) {
    phase_ = assemble(record);
    status_ = kDecodeFrame;
  }
  return status_;
}

int32_t CZE1601IODecode::findCarrier(DecodeRecord& record) {
  for (size_t i = record.position; i < record.count; ++i) {
    const int32_t s = record.samples[i];
    if (s < lower_ || s > upper_) {
      polarity_ = s > upper_ ? 1 : -1;
      clearRun();
      record.symbolCount = 0;
      record.symbolCountCopy = 0;
      record.position = i;
      return kCollect;
    }
  }
  record.position = record.count;
  return kSearch;
}

int32_t CZE1601IODecode::collect(DecodeRecord& record) {
  size_t i = record.position;
  size_t symbols = record.symbolCount;
  int32_t next = kCollect;
  for (; i < record.count; ++i) {
    const int32_t s = record.samples[i];
    ++sinceEdge_;
    if (s >= lower_ && s <= upper_) {
      if (++run_ >= maxDeadBand_) {
        if (symbols >= static_cast<size_t>(minSymbols_)) {
          next = kEnded;  // the position stays on this sample
        } else {
          symbols = 0;
          ++i;
          next = kSearch;
        }
        break;
      }
      continue;
    }
    run_ = 0;
    const bool edge = (polarity_ == 1 && s < lower_) || (polarity_ != 1 && s > upper_);
    if (!edge) continue;
    polarity_ = s > upper_ ? 1 : -1;
    if (symbols >= record.symbols.size()) {
      next = kSymbolsFull;
      break;
    }
    if (sinceEdge_ <= shortestValid_) {
      symbols = 0;
      ++i;
      next = kSearch;
      break;
    }
    record.symbols[symbols++] = sinceEdge_ <= shortLimit_ ? 1 : 0;
    run_ = 0;
    sinceEdge_ = 0;
  }
  record.symbolCount = symbols;
  record.symbolCountCopy = symbols;
  record.position = i;
  return next;
}

int32_t CZE1601IODecode::assemble(DecodeRecord& record) {
  const size_t n = record.symbolCount;
  size_t at = kLeadInSymbols;
  while (at < n && record.symbols[at] != 1) ++at;
  size_t bytes = 0;
  int bits = 0;
  uint8_t value = 0;
  while (at < n && bytes < record.bytes.size()) {
    const bool one = record.symbols[at] == 1;
    at += one ? 2 : 1;
    value = static_cast<uint8_t>((value << 1) | (one ? 1 : 0));
    if (++bits == 8) {
      record.bytes[bytes++] = value;
      bits = 0;
      value = 0;
    }
  }
  record.byteCount = bytes;
  return bytes > 0 ? kBytes : kNoByte;
}

}  // namespace nvx::reader::f0008
