// The decoder of a family 0001 reader's reply: from the samples of one recorded reply (44.1 kHz,
// Manchester cells of about 22 samples) to the reader's packet, and the packet's fields.
//
// A reply is a run of equal bits (the preamble, a 2 kHz tone), a start bit of the other value,
// then the packet most significant bit first. The decoder finds where the signal starts by its
// 2 kHz power, binarises the samples, removes one- and two-sample glitches, marks the edges, takes
// the 11th rising edge after the start as the sync, labels the cell centres from the gaps between
// edges, finds the start bit (which fixes the polarity: its direction means 1) and reads a bit at
// every edge on a cell centre. Then it checks the packet's type, length and CRC-8.
//
// The result length: the packet's length when it is valid (a swipe packet: the bytes decoded; a
// command reply: its length n + 3); otherwise 1 with a code in byte 0: 0xFC length out of range,
// 0xFD unknown packet type, 0xFE CRC error, or the reader's own short reports 0xFF (error), 0xF0
// (time-out) and 0xFA passed on.
//
// The recorder runs StartDecode on a worker thread and polls status() from the main thread; the
// packet and its fields are read once status() is 0 again.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace nvx::reader {

class CSwiper_WavBuffer;

class CSwiper_FskController {
 public:
  static constexpr size_t kResultBytes = 2048;
  static constexpr size_t kOutputBytes = 1024;    // the part of the result the decode writes
  static constexpr size_t kMaxInput = 70560;      // at this many samples or more, the last 70,559 count
  static constexpr size_t kWindow = 61740;        // the analysis window (1.4 s)
  static constexpr int kMaxBits = 1504;           // 188 bytes

  // Codes in byte 0 of a failed decode (result length 1).
  static constexpr uint8_t kLengthOutOfRange = 0xFC;
  static constexpr uint8_t kUnknownType = 0xFD;
  static constexpr uint8_t kCrcError = 0xFE;
  static constexpr uint8_t kReaderError = 0xFF;
  static constexpr uint8_t kReaderTimeout = 0xF0;
  static constexpr uint8_t kReaderReportFA = 0xFA;

  // Packet types.
  static constexpr uint8_t kKsnReply = 0x02;
  static constexpr uint8_t kAcknowledge = 0x06;

  // Decoder status.
  static constexpr int kIdle = 0;
  static constexpr int kQueued = 1;
  static constexpr int kDecoding = 2;

  // CRC-8, polynomial 0x07, initial 0, most significant bit first, no final XOR.
  static uint8_t crc8(std::span<const uint8_t> bytes);

  // Decodes the samples into out (kOutputBytes, zeroed by the caller); the result length.
  static int decode(std::span<const int16_t> samples, uint8_t* out);
  // Checks the L decoded bytes of a packet (at least 258 bytes readable at packet) and writes a
  // failure code into byte 0; the result length.
  static int validate(uint8_t* packet, int L);

  void SetWavBuffer(std::shared_ptr<CSwiper_WavBuffer> store) { wavBuffer_ = std::move(store); }
  // Decodes the store's finished swipe; the result length.
  int StartDecode();
  void ClearResult();
  // Tests and the fuzzer: a packet as if it had just been decoded, with this result length.
  void setResult(std::span<const uint8_t> bytes, int resultLength);

  int status() const { return status_.load(); }
  void setStatus(int status) { status_ = status; }
  const uint8_t* GetResultPtr() const { return ucResult_.data(); }
  int GetDecodedResultLength() const { return iResultLen_; }

  // --- the packet's fields (layouts by type) ---
  std::string GetFormatID() const;
  std::string GetKSN() const;
  std::string GetRandomNumber() const;
  std::string GetEncTrack1() const;
  int GetTrack1Length() const;
  int GetTrack2Length() const;
  int GetTrack3Length() const;
  std::string GetLast4DigitPan() const;
  std::string GetExpiryDate() const;
  std::string GetName() const;

 private:
  uint8_t type() const { return ucResult_[0]; }

  std::array<uint8_t, kResultBytes> ucResult_{};
  int iResultLen_ = 0;
  std::atomic<int> status_{kIdle};
  std::shared_ptr<CSwiper_WavBuffer> wavBuffer_;
};

}  // namespace nvx::reader
