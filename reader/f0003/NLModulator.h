// The phone's side of the 0003-0006 readers' audio link: commands become a square signal on
// the headset output, 48,000 frames/s, stereo, unsigned 8 bits, where every frame is one of
//   H = (255, 0)   L = (0, 255)
// so the two channels always stand at opposite extremes. Tones made of them:
//   T2400: 10 L, 10 H (2,400 Hz)          T1200: 20 H, 20 L (1,200 Hz, the idle tone)
//
// A frame (NLFrame) is line coded into code bytes: three 0xBD, then two code bytes per frame
// byte (high nibble first); each nibble bit, most significant first, becomes the bit pair 10 for
// a 1 and 01 for a 0. 0xBD holds pairs of equal bits, so it cannot occur among them.
//
// Each code byte takes 80 frames: 5 L (start), its 8 bits least significant first at 5 frames
// each (H = 1), 5 frames of parity (H when it holds an odd number of ones), 30 H. A modulated
// command: 80 H (lead), the code bytes, 10 cycles of T2400 (tail), then everything from the
// buffer's beginning up to the last code byte once more with every byte inverted (H and L
// swapped), and a second tail.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace nvx::reader {

struct NLModulator {
  static constexpr double kRate = 48000;
  static constexpr uint8_t kHigh[2] = {255, 0};
  static constexpr uint8_t kLow[2] = {0, 255};
  static constexpr size_t kFrameBytes = 2;
  // The wake-up and command signals and the output queue's buffers: 9,600 frames (0.2 s).
  static constexpr size_t kSignalBytes = 19200;
  static constexpr uint8_t kSync = 0xBD;
  static constexpr size_t kSyncBytes = 3;
  static constexpr size_t kFramesPerCodeByte = 80;
  static constexpr size_t kFramesPerBit = 5;
  static constexpr size_t kStopFrames = 30;
  static constexpr size_t kLeadFrames = 80;
  static constexpr size_t kTailCycles = 10;
  static constexpr size_t kWakeUpCycles = 100;
  static constexpr size_t kT2400CycleBytes = 40;

  // The code byte of a nibble (0x99 for 1010).
  static uint8_t codeOfNibble(uint8_t nibble);
  // Three sync bytes and two code bytes per frame byte.
  static std::vector<uint8_t> codeBytes(std::span<const uint8_t> frame);
  // Modulates the command's frame (a command that already is a frame is taken as it stands) into
  // the buffer from `position` and returns the position after the second tail. When the space
  // left is no more than 320 code bytes plus 560 bytes, nothing is written and `position` comes
  // back (the command is not sent).
  static size_t modulate(std::span<uint8_t> buffer, size_t position, std::span<const uint8_t> command);
  // 100 cycles of T2400, the start command, T2400 to the end.
  static void buildWakeUp(std::span<uint8_t> buffer);
  // Cleared, the command from the start, T2400 to the end.
  static void buildCommand(std::span<uint8_t> buffer, std::span<const uint8_t> command);
  // Up to `cycles` cycles of T2400 from `position`, as far as the buffer reaches; the new position.
  static size_t writeT2400(std::span<uint8_t> buffer, size_t position, size_t cycles);
  // The idle tone over the whole buffer, beginning with H.
  static void writeIdleTone(std::span<uint8_t> buffer);
};

}  // namespace nvx::reader
