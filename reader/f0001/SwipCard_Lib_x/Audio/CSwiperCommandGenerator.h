// The command frame of a family 0001 reader: the command bytes in a frame of their own (eight
// zero bytes, 0x8A, the count N + 1, the N bytes, their CRC-8 and 0x8A), Manchester-coded at
// 2,000 bit/s into 44.1 kHz stereo: the left channel a clock (one period a bit), the right channel
// rising in the middle of a 1 and falling in the middle of a 0. It also keeps the command id
// (the first command byte), which tells the tone player and the driver what the cycle is.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace nvx::reader {

class CSwiperCommandGenerator {
 public:
  static constexpr uint8_t kFrameMark = 0x8A;
  static constexpr int kLeadingZeros = 8;
  static constexpr int kRate = 44100;
  static constexpr int kBitRate = 2000;

  CSwiperCommandGenerator() = default;

  // Takes the first byte as the command id (when there is one) and replaces the waveform with
  // the frame of the bytes.
  void GenerateTone(std::span<const uint8_t> bytes);
  // Writes the 8 bits of data from frame `current` on, most significant first; the frame after.
  int WriteByte(int current, uint8_t data);
  // Writes one bit from frame `current` on; the frame after it.
  int WriteBit(int current, bool bOne);
  void Clear();
  void ChangeCmdId(uint8_t cmdId) { cmdId_ = cmdId; }

  // Interleaved left, right.
  const std::vector<int16_t>& wav() const { return wav_; }
  // Samples in wav (both channels counted).
  int wavLength() const { return static_cast<int>(wav_.size()); }
  uint8_t cmdId() const { return cmdId_; }
  bool flagHasCommand() const { return flagHasCommand_; }
  void setFlagHasCommand(bool on) { flagHasCommand_ = on; }

  // The frame bytes of a command.
  static std::vector<uint8_t> frameBytes(std::span<const uint8_t> command);

 private:
  std::vector<int16_t> wav_;
  bool flagHasCommand_ = false;
  uint8_t cmdId_ = 0;
};

}  // namespace nvx::reader
