// The phone's model, as the family 0001 code asks for it: the machine identifier and its name.
#pragma once
#include <string>

namespace nvx::reader {

class CSwiper_UIDeviceHardware {
 public:
  // The machine identifier ("iPhone3,3").
  static std::string platform();
  // Its name ("iPhone 4 CDMA"); an identifier without a name is given back as it is.
  static std::string platformString();
  static std::string platformString(const std::string& identifier);
};

}  // namespace nvx::reader
