// Status codes of the audio calls: 0 is success, anything else the platform's code (most of them
// four printable characters packed big-endian into 32 bits, as the phone's audio services report
// them; readers' error handlers print them as such).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace platform::media {

// 'init' -> 0x696E6974.
constexpr int32_t fourCharCode(const char (&c)[5]) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(c[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(c[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(c[2])) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(c[3])));
}

class [[nodiscard]] AudioStatus {
 public:
  // Session codes.
  static constexpr int32_t kAlreadyInitialized = fourCharCode("init");
  static constexpr int32_t kNotInitialized = fourCharCode("!ini");
  static constexpr int32_t kNotActive = fourCharCode("!act");
  static constexpr int32_t kIncompatibleCategory = fourCharCode("!cat");
  static constexpr int32_t kUnsupportedProperty = fourCharCode("pty?");
  static constexpr int32_t kNoHardware = fourCharCode("nohw");
  static constexpr int32_t kUnspecified = fourCharCode("what");  // the default injected failure
  // Stream codes.
  static constexpr int32_t kInvalidParameter = -50;
  static constexpr int32_t kInvalidElement = -10877;            // no such mixer input
  static constexpr int32_t kFormatNotSupported = fourCharCode("fmt?");
  static constexpr int32_t kUninitialized = -10867;             // unit started before initialise
  static constexpr int32_t kInvalidBuffer = -66687;             // not a buffer of this queue
  static constexpr int32_t kDisposed = -66686;                  // the stream was disposed of
  static constexpr int32_t kCannotStart = fourCharCode("!pla"); // another rate runs, or interrupted
  static constexpr int32_t kCannotInterruptOthers = fourCharCode("!int");  // activation during a call

  AudioStatus() = default;
  explicit AudioStatus(int32_t code) : code_(code) {}
  static AudioStatus success() { return AudioStatus(); }
  bool isOk() const { return code_ == 0; }
  explicit operator bool() const { return isOk(); }
  int32_t code() const { return code_; }
  friend bool operator==(AudioStatus a, AudioStatus b) { return a.code_ == b.code_; }

 private:
  int32_t code_ = 0;
};

// A query that may fail: the value is meaningful only when status is ok.
template <class T>
struct [[nodiscard]] AudioResult {
  AudioStatus status;
  T value{};
  bool isOk() const { return status.isOk(); }
  explicit operator bool() const { return isOk(); }
};

}  // namespace platform::media
