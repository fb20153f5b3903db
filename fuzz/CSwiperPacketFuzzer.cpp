// Fuzzes the 0001 reader's decoder over arbitrary recorded sound and arbitrary packets: the
// decode of a recording, the packet check, and every field read from a packet. Whatever the
// input, the decode stays inside its buffers and a result it calls valid is a packet whose CRC
// holds.
//
// Input: byte 0 chooses what the rest is: even, 16-bit samples of a recording (little-endian);
// odd, the bytes of a decoded packet with byte 1 as the decoded length.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_FskController.h"

namespace {

using nvx::reader::CSwiper_FskController;

void require(bool condition) {
  if (!condition) std::abort();
}

// A result the decoder calls valid carries its CRC.
void checkValid(const uint8_t* packet, int result) {
  require(result >= 1 && result <= 258);
  if (result == 1) return;
  const uint8_t type = packet[0];
  if (type == CSwiper_FskController::kKsnReply || type == CSwiper_FskController::kAcknowledge) {
    if (result == packet[1] + 3) {
      require(CSwiper_FskController::crc8(std::span<const uint8_t>(packet, packet[1] + 2u)) == packet[packet[1] + 2]);
      return;
    }
  }
  require(result >= 168 && result <= 193);
}

void readFields(CSwiper_FskController& fsk) {
  (void)fsk.GetFormatID();
  require(fsk.GetKSN().size() <= 32);
  (void)fsk.GetRandomNumber();
  (void)fsk.GetEncTrack1();
  (void)fsk.GetTrack1Length();
  (void)fsk.GetTrack2Length();
  (void)fsk.GetTrack3Length();
  const std::string pan = fsk.GetLast4DigitPan();
  require(pan.size() <= 255);
  require(fsk.GetExpiryDate().size() == 4);
  const std::string name = fsk.GetName();
  for (char c : name) require(static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) <= 0x7F);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  CSwiper_FskController fsk;
  if (data[0] % 2 == 0) {
    std::vector<int16_t> samples((size - 1) / 2);
    if (!samples.empty()) std::memcpy(samples.data(), data + 1, samples.size() * 2);
    std::vector<uint8_t> out(CSwiper_FskController::kOutputBytes, 0);
    const int result = CSwiper_FskController::decode(samples, out.data());
    checkValid(out.data(), result);
    fsk.setResult(out, result);
  } else {
    std::vector<uint8_t> packet(CSwiper_FskController::kOutputBytes, 0);
    const size_t n = std::min(size - 2, packet.size());
    std::memcpy(packet.data(), data + 2, n);
    const int result = CSwiper_FskController::validate(packet.data(), data[1]);
    checkValid(packet.data(), result);
    fsk.setResult(std::span<const uint8_t>(data + 2, size - 2), result);
  }
  readFields(fsk);
  return 0;
}
