// The family 0001 code's debug switch. It is off: the family logs nothing of its own, its debug
// flags stay off and nothing it records is written to a file.
#pragma once

namespace nvx::reader {

class CSwiper_MySettings {
 public:
  static constexpr bool isDebug() { return false; }
};

}  // namespace nvx::reader
