// Fuzzes the 0008 reader's receive side: the reply demodulators over arbitrary recorded sound cut
// into arbitrary blocks, and the reading of every frame they make (and of the raw input taken as
// a frame) against each exchange step. Whatever the input, the decoders stay inside the record,
// and a card taken has every field within the payload it came from.
//
// Input: byte 0 chooses what the rest is: even, little-endian 16-bit samples, recorded in blocks
// of (byte 1 * 16 + 1) samples; odd, the bytes of a decoded frame.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "reader/f0008/CTReply.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CDecode.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CSetting.h"

namespace {

using namespace nvx::reader::f0008;

void require(bool condition) {
  if (!condition) std::abort();
}

void readFrame(std::span<const uint8_t> bytes) {
  for (int32_t step : {kReplyKsn, kReplyArmed, kReplyCard, kReplyUnknown}) {
    const CTParsed p = CTReply::ParseCommand(bytes, step);
    require(p.result >= kParseCardRefused && p.result <= kParseExpected);
    if (p.result == kParseExpected) require(p.kind == step);
    if (p.ksn) require(p.ksn->size() % 2 == 0 && p.ksn->size() <= 2 * bytes.size() + 16);
    if (p.card) {
      // Taken whichever step waits; only the card step acts on it.
      require(p.kind == kReplyCard && (p.result == kParseExpected) == (step == kReplyCard));
      require(p.card->RandomNumber.size() == 16 && p.card->ExpiryDate.size() == 4);
      require(p.card->MaskedPAN.size() <= 127 && p.card->CardHolderName.size() <= 127);
      require(p.card->EncTracks.size() <= 2 * 127);
    }
  }
  // The bytes as a card reply's data, whatever came before them.
  CTCardDetails card;
  if (CTReply::GetCardDetails(bytes, card) == CTReply::CardRead::Taken) {
    require(card.FormatID.size() <= 2 * bytes.size() && card.RandomNumber.size() == 16);
  }
}

void decodeAll(const CSetting& setting, std::span<const int16_t> samples, size_t block) {
  CDecode* decode = setting.getDecode();
  decode->reset(setting);
  DecodeRecord record;
  for (size_t at = 0; at < samples.size(); at += block) {
    const size_t n = std::min(block, samples.size() - at);
    record.setSamples(samples.data() + at, n);
    // As the driver does: one decode per recorded block; a frame's end drops the rest of it.
    const int32_t status = decode->decode(record);
    require(record.position <= record.count);
    require(record.symbolCount <= record.symbols.size() && record.byteCount <= record.bytes.size());
    if (status == kDecodeFrame) readFrame(std::span<const uint8_t>(record.bytes.data(), record.byteCount));
    if (status == kDecodeFrame || status == kDecodeNoBytes) {
      decode->reset(setting);
      record.clear();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  if (data[0] % 2 == 1) {
    readFrame(std::span<const uint8_t>(data + 1, size - 1));
    return 0;
  }
  std::vector<int16_t> samples((size - 2) / 2);
  if (!samples.empty()) std::memcpy(samples.data(), data + 2, samples.size() * 2);
  const size_t block = static_cast<size_t>(data[1]) * 16 + 1;
  const ZE1601IOSetting driverSetting;
  decodeAll(driverSetting, samples, block);
  const CSetting learningSetting;
  decodeAll(learningSetting, samples, block);
  return 0;
}
