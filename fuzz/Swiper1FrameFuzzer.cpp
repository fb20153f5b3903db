// Fuzzes the 0002 reader's receive side over arbitrary captured sound: frame detection, the
// decoding of a frame's bytes, the calibration-pattern analysis and the frame check. Whatever
// the samples, every position it reports lies inside the samples, what it allows the ring to
// drop is no more than it holds, and a frame that passes the check starts with 00 and carries
// exactly its length, never nothing.
//
// Input: byte 0 chooses the speed code (1-99), byte 1 the rate (8,000, 44,100 or 176,400
// frames/s) and the frame levels already heard; the rest are the 8-bit samples.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "reader/f0002/Swiper1Demodulator.h"
#include "reader/f0002/Swiper1Frame.h"

namespace {

using nvx::reader::Swiper1Demodulator;
using nvx::reader::Swiper1Frame;

void require(bool condition) {
  if (!condition) std::abort();
}

void checkDecoded(const Swiper1Demodulator::Decoded& decoded) {
  if (decoded.parityError) require(decoded.bytes.empty());
  if (auto payload = Swiper1Frame::payload(decoded.bytes)) {
    require(!payload->empty() && decoded.bytes[0] == Swiper1Frame::kStart);
    require(payload->size() + Swiper1Frame::kOverhead == decoded.bytes.size());
    require(Swiper1Frame::check(decoded.bytes) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static constexpr uint32_t kRates[] = {8000, 44100, 176400};
  const int F = 1 + data[0] % 99;
  const uint32_t rate = kRates[data[1] % 3];
  std::span<const int8_t> samples(reinterpret_cast<const int8_t*>(data + 2), size - 2);

  Swiper1Demodulator demod(rate);
  Swiper1Demodulator::Levels levels;
  levels.M1 = static_cast<float>(data[1] >> 2);
  levels.M2 = static_cast<float>(data[1] >> 1);
  const int T = Swiper1Demodulator::thresholdForCode(F, rate);

  auto d = demod.detect(samples, T, levels);
  require(d.consumable <= samples.size());
  if (d.found == Swiper1Demodulator::Found::Frame || d.found == Swiper1Demodulator::Found::LongTone) {
    require(d.start <= d.dataStart && d.dataStart <= d.end && d.end <= samples.size());
    require(d.consumable == d.end);
    checkDecoded(demod.decode(samples, d.dataStart, d.end, T));
    auto pattern = demod.analyse(samples, d.dataStart, d.end, T);
    if (pattern.pattern == Swiper1Demodulator::Pattern::Good) require(pattern.threshold > 0);
  }
  if (d.found == Swiper1Demodulator::Found::Pending) require(d.start < samples.size());

  // The whole span as one region, and regions given out of order.
  checkDecoded(demod.decode(samples, 0, samples.size(), T));
  checkDecoded(demod.decode(samples, samples.size(), 0, T));
  (void)demod.analyse(samples, samples.size() / 3, samples.size() * 2, T);
  Swiper1Frame::payload(std::span<const uint8_t>(data, size));
  return 0;
}
