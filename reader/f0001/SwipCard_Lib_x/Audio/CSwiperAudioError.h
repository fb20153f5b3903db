// A failed audio-system call of the family 0001 code: what was being done and the status the
// audio system answered. Reported as "Error: <message> (<status>)", the status shown as its four
// characters in quotes when all four are printable, else in decimal within +-200,000, else in
// hexadecimal.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace nvx::reader {

struct CSwiperAudioError {
  std::string message;
  int32_t status = 0;

  static std::string statusText(int32_t status);
  std::string text() const;
  // Writes the text to the error log.
  void report() const;
};

using CSwiperAudioFailure = std::optional<CSwiperAudioError>;

}  // namespace nvx::reader
