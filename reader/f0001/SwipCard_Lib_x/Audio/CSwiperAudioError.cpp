#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiperAudioError.h"

#include <cctype>
#include <cstdio>

#include "platform/foundation/Log.h"

namespace nvx::reader {

std::string CSwiperAudioError::statusText(int32_t status) {
  const auto u = static_cast<uint32_t>(status);
  const char c[4] = {static_cast<char>(u >> 24), static_cast<char>((u >> 16) & 0xFF),
                     static_cast<char>((u >> 8) & 0xFF), static_cast<char>(u & 0xFF)};
  bool printable = true;
  for (char ch : c) printable = printable && std::isprint(static_cast<unsigned char>(ch));
  char text[24];
  if (printable) {
    std::snprintf(text, sizeof text, "'%c%c%c%c'", c[0], c[1], c[2], c[3]);
  } else if (status > -200000 && status < 200000) {
    std::snprintf(text, sizeof text, "%d", status);
  } else {
    std::snprintf(text, sizeof text, "0x%x", u);
  }
  return text;
}

std::string CSwiperAudioError::text() const { return "Error: " + message + " (" + statusText(status) + ")"; }

void CSwiperAudioError::report() const { platform::log::error("CSwiper", text()); }

}  // namespace nvx::reader
