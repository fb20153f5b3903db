// The device's model for layout code and device profiles.
#pragma once
#include <string>

namespace nvx {

class UIDevice {
 public:
  // 5 on a tablet; otherwise 2 when the screen is 960 pixels high, else 3. (The platform's
  // screens always report a scale, so the classes 1 and 4 of scale-less screens never occur.)
  static int currentResolution();
  // The model name of the machine name ("hw.machine"); an unknown machine name as it is.
  static std::string deviceString();
  // deviceString() is "iPhone 5" or begins with "iPhone5".
  static bool isIphone5();
  // The device's identifier for servers: the lower-case hex MD5 (32 characters, never empty) of
  // the Wi-Fi hardware address written "%02X:%02X:%02X:%02X:%02X:%02X". An address that cannot
  // be read as six hex bytes (separated by ":", "-" or nothing) counts as 00:00:00:00:00:00.
  static std::string wifiAddressDigest();
};

}  // namespace nvx
