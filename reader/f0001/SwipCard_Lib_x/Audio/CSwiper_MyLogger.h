// Diagnostics of the family 0001 code: printed only when forced or while the debug switch is on
// (the family never forces them, and the switch is off).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace nvx::reader {

class CSwiper_MyLogger {
 public:
  static void Log(std::string_view text, bool forceLog);
  // "[MyLogger] [<operation>] <status name>" for the audio-session and audio-file statuses it
  // knows, while the debug switch is on.
  static void LogAudioSessionResultCodes(int32_t status);
  static void LogAudioSessionSetActive(int32_t status);
  static void LogAudioSessionInitialize(int32_t status);
  static void LogAudioFileClose(int32_t status);

  // The names of the statuses (empty for one it does not know).
  static std::string_view audioSessionStatusName(int32_t status);
  static std::string_view audioFileStatusName(int32_t status);
};

}  // namespace nvx::reader
