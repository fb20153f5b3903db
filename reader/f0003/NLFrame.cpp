#include "reader/f0003/NLFrame.h"

#include <array>

namespace nvx::reader {

namespace {

constexpr std::array<uint8_t, 256> makeTable() {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    uint8_t c = static_cast<uint8_t>(i);
    for (int bit = 0; bit < 8; ++bit) c = static_cast<uint8_t>((c & 1) ? (c >> 1) ^ 0x8C : c >> 1);
    table[static_cast<size_t>(i)] = c;
  }
  return table;
}

constexpr std::array<uint8_t, 256> kTable = makeTable();

}  // namespace

uint8_t NLFrame::crc8(std::span<const uint8_t> bytes) {
  uint8_t crc = 0;
  for (uint8_t b : bytes) crc = kTable[crc ^ b];
  return crc;
}

std::vector<uint8_t> NLFrame::build(std::span<const uint8_t> data) {
  std::vector<uint8_t> out;
  out.reserve(data.size() + kOverhead);
  out.push_back(kStart);
  out.push_back(static_cast<uint8_t>(data.size() >> 8));
  out.push_back(static_cast<uint8_t>(data.size() & 0xFF));
  out.insert(out.end(), data.begin(), data.end());
  out.push_back(crc8(std::span<const uint8_t>(out).subspan(1)));
  out.push_back(kEnd);
  return out;
}

std::vector<uint8_t> NLFrame::frameOfCommand(std::span<const uint8_t> command) {
  if (command.size() >= 6 && command[0] == kStart) return {command.begin(), command.end()};
  return build(command);
}

}  // namespace nvx::reader
