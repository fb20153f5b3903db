// The frame both directions of the 0003-0006 readers' audio link use:
//
//   A5 | length L of the data, big-endian (2 bytes) | data (L bytes) | check | 5A
//
// The check byte is CRC-8/MAXIM (the 1-Wire CRC: reflected polynomial 0x8C, initial value 0, no
// final inversion) over the length and the data. A reply's first data byte is its type.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace nvx::reader {

struct NLFrame {
  static constexpr uint8_t kStart = 0xA5;
  static constexpr uint8_t kEnd = 0x5A;
  // Start byte, length, check byte and end byte.
  static constexpr size_t kOverhead = 5;
  // The phone's only command: start the reader (it answers with its serial number).
  static constexpr uint8_t kStartCommand[2] = {0x3D, 0x00};

  // CRC-8/MAXIM of the bytes (table-driven); 0xA1 for "123456789".
  static uint8_t crc8(std::span<const uint8_t> bytes);
  // The frame of the data.
  static std::vector<uint8_t> build(std::span<const uint8_t> data);
  // A command that already is a frame (it begins with A5 and has 6 bytes or more) as it stands,
  // anything else framed.
  static std::vector<uint8_t> frameOfCommand(std::span<const uint8_t> command);
};

}  // namespace nvx::reader
