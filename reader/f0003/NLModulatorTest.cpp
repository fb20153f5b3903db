#include "reader/f0003/NLModulator.h"

#include <gtest/gtest.h>

#include <string>

#include "reader/f0003/NLFrame.h"

namespace nvx::reader {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t S = NLModulator::kSignalBytes;

// The frames of bytes [from, to) as 'H', 'L' or '?'.
std::string levels(const Bytes& buffer, size_t from, size_t to) {
  std::string out;
  for (size_t i = from; i < to && i + 1 < buffer.size(); i += 2) {
    if (buffer[i] == 255 && buffer[i + 1] == 0) out += 'H';
    else if (buffer[i] == 0 && buffer[i + 1] == 255) out += 'L';
    else out += '?';
  }
  return out;
}

std::string repeat(const std::string& s, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

std::string t2400(size_t cycles) { return repeat(std::string(10, 'L') + std::string(10, 'H'), cycles); }

bool invertedCopy(const Bytes& buffer, size_t at, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) {
    if (buffer[at + i - from] != 255 - buffer[i]) return false;
  }
  return true;
}

TEST(NLModulatorTest, TheStartCommandsBufferHasItsSignalInTheGivenByteRanges) {
  Bytes buffer(S);
  NLModulator::buildCommand(buffer, NLFrame::kStartCommand);

  EXPECT_EQ(levels(buffer, 0, 160), std::string(80, 'H'));
  // The first code byte, 0xBD: start, bits least significant first, even parity, stop.
  const std::string bd = std::string(5, 'L') + "HHHHH" + "LLLLL" + repeat("HHHHH", 4) + "LLLLL" + "HHHHH" +
                         std::string(5, 'L') + std::string(30, 'H');
  EXPECT_EQ(levels(buffer, 160, 320), bd);
  // 0x99 (the start byte's high nibble, four ones): parity low.
  const std::string c99 = std::string(5, 'L') + "HHHHHLLLLLLLLLLHHHHHHHHHHLLLLLLLLLLHHHHH" + std::string(5, 'L') +
                          std::string(30, 'H');
  EXPECT_EQ(levels(buffer, 640, 800), c99);
  EXPECT_EQ(levels(buffer, 0, 2880).find('?'), std::string::npos);
  EXPECT_EQ(levels(buffer, 2880, 3280), t2400(10));
  EXPECT_TRUE(invertedCopy(buffer, 3280, 0, 2880));
  EXPECT_EQ(levels(buffer, 6160, 6560), t2400(10));
  EXPECT_EQ(levels(buffer, 6560, S), t2400((S - 6560) / 40));

  Bytes again(S, 7);
  EXPECT_EQ(NLModulator::modulate(again, 0, NLFrame::kStartCommand), 6560u);
}

TEST(NLModulatorTest, TheWakeUpBufferRepeatsItsLongToneInTheInvertedCopy) {
  Bytes wake(S);
  NLModulator::buildWakeUp(wake);
  Bytes command(S);
  NLModulator::buildCommand(command, NLFrame::kStartCommand);

  EXPECT_EQ(levels(wake, 0, 4000), t2400(100));
  EXPECT_TRUE(std::equal(wake.begin() + 4000, wake.begin() + 6880, command.begin()));
  EXPECT_EQ(levels(wake, 6880, 7280), t2400(10));
  EXPECT_TRUE(invertedCopy(wake, 7280, 0, 6880));
  EXPECT_EQ(levels(wake, 14160, 14560), t2400(10));
  EXPECT_EQ(levels(wake, 14560, S), t2400((S - 14560) / 40));
}

TEST(NLModulatorTest, ACommandThatDoesNotFitIsNotSent) {
  // 22 data bytes: 57 code bytes, 320 x 57 + 560 = 18,800 < 19,200. 23: 19,440.
  Bytes buffer(S);
  EXPECT_GT(NLModulator::modulate(buffer, 0, Bytes(22, 0x31)), 0u);
  Bytes untouched(S, 7);
  EXPECT_EQ(NLModulator::modulate(untouched, 0, Bytes(23, 0x31)), 0u);
  EXPECT_EQ(untouched, Bytes(S, 7));
  // Past the end of the buffer nothing is written either.
  EXPECT_EQ(NLModulator::modulate(untouched, S + 10, NLFrame::kStartCommand), S + 10);

  // The command buffer then holds the tone alone: the reader hears no command.
  NLModulator::buildCommand(buffer, Bytes(23, 0x31));
  EXPECT_EQ(levels(buffer, 0, S), t2400(S / 40));
}

TEST(NLModulatorTest, TheIdleToneStartsHigh) {
  Bytes buffer(S);
  NLModulator::writeIdleTone(buffer);
  EXPECT_EQ(levels(buffer, 0, S), repeat(std::string(20, 'H') + std::string(20, 'L'), S / 80));
}

}  // namespace
}  // namespace nvx::reader
