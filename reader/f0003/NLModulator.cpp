#include "reader/f0003/NLModulator.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "reader/f0003/NLFrame.h"

namespace nvx::reader {

namespace {

// Writes frames of one level as far as the buffer reaches.
size_t writeFrames(std::span<uint8_t> buffer, size_t position, size_t frames, bool high) {
  const uint8_t* level = high ? NLModulator::kHigh : NLModulator::kLow;
  for (size_t i = 0; i < frames && position + NLModulator::kFrameBytes <= buffer.size(); ++i) {
    buffer[position++] = level[0];
    buffer[position++] = level[1];
  }
  return position;
}

size_t writeCodeByte(std::span<uint8_t> buffer, size_t position, uint8_t byte) {
  constexpr size_t bit = NLModulator::kFramesPerBit;
  position = writeFrames(buffer, position, bit, false);
  for (int i = 0; i < 8; ++i) position = writeFrames(buffer, position, bit, ((byte >> i) & 1) != 0);
  position = writeFrames(buffer, position, bit, std::popcount(byte) % 2 == 1);
  return writeFrames(buffer, position, NLModulator::kStopFrames, true);
}

}  // namespace

uint8_t NLModulator::codeOfNibble(uint8_t nibble) {
  uint8_t code = 0;
  for (int bit = 3; bit >= 0; --bit) code = static_cast<uint8_t>((code << 2) | (((nibble >> bit) & 1) ? 0b10 : 0b01));
  return code;
}

std::vector<uint8_t> NLModulator::codeBytes(std::span<const uint8_t> frame) {
  std::vector<uint8_t> out(kSyncBytes, kSync);
  out.reserve(kSyncBytes + 2 * frame.size());
  for (uint8_t b : frame) {
    out.push_back(codeOfNibble(static_cast<uint8_t>(b >> 4)));
    out.push_back(codeOfNibble(static_cast<uint8_t>(b & 0x0F)));
  }
  return out;
}

size_t NLModulator::writeT2400(std::span<uint8_t> buffer, size_t position, size_t cycles) {
  for (size_t c = 0; c < cycles && position < buffer.size(); ++c) {
    position = writeFrames(buffer, position, 10, false);
    position = writeFrames(buffer, position, 10, true);
  }
  return position;
}

size_t NLModulator::modulate(std::span<uint8_t> buffer, size_t position, std::span<const uint8_t> command) {
  const std::vector<uint8_t> code = codeBytes(NLFrame::frameOfCommand(command));
  if (position > buffer.size() || buffer.size() - position <= 320 * code.size() + 560) return position;
  size_t p = writeFrames(buffer, position, kLeadFrames, true);
  for (uint8_t c : code) p = writeCodeByte(buffer, p, c);
  const size_t signalEnd = p;
  p = writeT2400(buffer, p, kTailCycles);
  // The inverted repeat: what the reader hears with its wires the other way round.
  const size_t repeat = std::min(signalEnd, buffer.size() - p);
  for (size_t i = 0; i < repeat; ++i) buffer[p + i] = static_cast<uint8_t>(255 - buffer[i]);
  p += repeat;
  return writeT2400(buffer, p, kTailCycles);
}

void NLModulator::buildWakeUp(std::span<uint8_t> buffer) {
  std::fill(buffer.begin(), buffer.end(), uint8_t{0});
  size_t p = writeT2400(buffer, 0, kWakeUpCycles);
  p = modulate(buffer, p, NLFrame::kStartCommand);
  writeT2400(buffer, p, std::numeric_limits<size_t>::max());
}

void NLModulator::buildCommand(std::span<uint8_t> buffer, std::span<const uint8_t> command) {
  std::fill(buffer.begin(), buffer.end(), uint8_t{0});
  const size_t p = modulate(buffer, 0, command);
  writeT2400(buffer, p, std::numeric_limits<size_t>::max());
}

void NLModulator::writeIdleTone(std::span<uint8_t> buffer) {
  size_t p = 0;
  while (p < buffer.size()) {
    p = writeFrames(buffer, p, 20, true);
    p = writeFrames(buffer, p, 20, false);
  }
}

}  // namespace nvx::reader
