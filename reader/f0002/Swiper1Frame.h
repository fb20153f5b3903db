// The frames of the 0002 reader link. A frame is 00, the payload length (big-endian, two bytes),
// the payload and one check byte, the XOR of every byte before it. Besides frames, single-byte
// bursts carry the link's own signals: the reader's acknowledgement (01) and the phone's request
// to send the last reply again (02).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace nvx::reader {

class Swiper1Frame {
 public:
  static constexpr size_t kMaxPayload = 496;
  static constexpr size_t kOverhead = 4;  // start byte, two length bytes, check byte
  static constexpr uint8_t kStart = 0x00;
  static constexpr uint8_t kAcknowledge = 0x01;
  static constexpr uint8_t kResendRequest = 0x02;

  // XOR of the bytes.
  static uint8_t check(std::span<const uint8_t> bytes);
  // The frame around a payload of 1 to kMaxPayload bytes; empty for any other length.
  static std::vector<uint8_t> wrap(std::span<const uint8_t> payload);
  // The payload of a frame the reader sent, or nothing when the frame is not valid: it does not
  // start with 00, it carries no payload, its length is not the length field + 4, or its last
  // byte is not the XOR of the others.
  static std::optional<std::span<const uint8_t>> payload(std::span<const uint8_t> frame);
};

}  // namespace nvx::reader
