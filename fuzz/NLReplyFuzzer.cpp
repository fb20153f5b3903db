// Fuzzes the 0003-0006 reader's receive side over arbitrary recorded sound: the line conditioner
// and the input collector buffer by buffer, the demodulator over each recording, and the driver's reading of every
// message it accepts (and of the raw input taken as a message). Whatever the samples, a message
// is whole (at least 7 bytes, its check byte right), and reading its fields never leaves it.
//
// Input: little-endian 16-bit samples.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <variant>
#include <vector>

#include "reader/f0003/NLDemodulator.h"
#include "reader/f0003/NLFrame.h"
#include "reader/f0003/NLLineConditioner.h"
#include "reader/f0003/NLMessage.h"
#include "reader/f0003/NLSignalCollector.h"

namespace {

using nvx::reader::CardData;
using nvx::reader::NLDemodulator;
using nvx::reader::NLFrame;
using nvx::reader::NLLineConditioner;
using nvx::reader::NLMessage;
using nvx::reader::NLSignalCollector;

void require(bool condition) {
  if (!condition) std::abort();
}

void readMessage(std::span<const uint8_t> message) {
  if (auto ksn = NLMessage::ksnOf(message)) require(ksn->size() == 16);
  auto card = NLMessage::cardOf(message);
  if (const auto* c = std::get_if<CardData>(&card)) {
    require(c->ksn.size() == 16 && c->randomNumber.size() == 16);
    require(c->cryptoData.size() % 2 == 0 && c->cryptoData.size() <= 2 * message.size());
    (void)c->maskedPAN();
  } else {
    const int failure = std::get<int>(card);
    require(failure == NLMessage::kBadLayout || failure == NLMessage::kFailedSwipe);
  }
}

void checkMessages(std::span<const int16_t> recording) {
  const auto messages = NLDemodulator::demodulate(recording);
  require(messages.size() <= NLDemodulator::kMaxMessages);
  for (const auto& m : messages) {
    require(m.size() >= NLDemodulator::kMinMessageBytes);
    require(NLFrame::crc8(std::span<const uint8_t>(m).subspan(1, m.size() - 3)) == m[m.size() - 2]);
    readMessage(m);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<int16_t> samples(size / 2);
  if (!samples.empty()) std::memcpy(samples.data(), data, samples.size() * 2);
  checkMessages(samples);

  // Buffer by buffer, conditioned, as the input queue hands them over (small buffers reach more
  // states).
  NLLineConditioner conditioner;
  NLSignalCollector collector(NLSignalCollector::Mode::Framed);
  constexpr size_t kBuffer = 400;
  for (size_t at = 0; at < samples.size(); at += kBuffer) {
    const size_t n = std::min(kBuffer, samples.size() - at);
    std::span<int16_t> buffer = std::span<int16_t>(samples).subspan(at, n);
    conditioner.process(buffer);
    if (collector.feed(buffer)) {
      require(collector.recording().size() <= NLSignalCollector::kStoreSamples);
      checkMessages(collector.recording());
      collector.reset();
    }
  }
  readMessage(std::span<const uint8_t>(data, size));
  return 0;
}
