// The reply decoders' interface and the reception record they share with the driver's decode
// thread. A decoder keeps its state between calls, so a reply may arrive over any number of
// recorded buffers: each call examines the record's samples from its position on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nvx::reader::f0008 {

class CSetting;

// Decoder status, as the driver reads it.
enum DecodeStatus : int32_t {
  kDecodeSearching = 0,   // searching for the carrier
  kDecodeLearning = 1,    // learning the carrier (the learning decoder only)
  kDecodeCollecting = 2,  // collecting symbols, more samples needed
  kDecodeFrame = 3,       // a frame is complete: its bytes are in the record
  kDecodeNoBytes = 4,     // the frame ended without a byte (the learning decoder only)
};

struct DecodeRecord {
  static constexpr size_t kSymbolCapacity = 102400;
  static constexpr size_t kByteCapacity = 1024;

  DecodeRecord() : symbols(kSymbolCapacity), bytes(kByteCapacity) {}

  // The samples of the current recorded buffer (not owned).
  const int16_t* samples = nullptr;
  size_t position = 0;   // the next sample to examine
  size_t count = 0;      // samples in the buffer
  std::vector<uint8_t> symbols;
  size_t symbolCount = 0;
  size_t symbolCountCopy = 0;
  std::vector<uint8_t> bytes;
  int32_t unused = 0;
  size_t byteCount = 0;

  // Points the record at a buffer, from its first sample.
  void setSamples(const int16_t* data, size_t n) {
    samples = data;
    position = 0;
    count = n;
  }
  // The counts and positions go back to 0; the buffers stay.
  void clear() {
    position = 0;
    count = 0;
    symbolCount = 0;
    symbolCountCopy = 0;
    unused = 0;
    byteCount = 0;
  }
};

class CDecode {
 public:
  virtual ~CDecode() = default;
  virtual void reset(const CSetting& setting) = 0;
  // Runs over the record's samples from its position; returns the status (DecodeStatus).
  virtual int32_t decode(DecodeRecord& record) = 0;
  virtual int32_t reserved() { return 0; }
};

}  // namespace nvx::reader::f0008
