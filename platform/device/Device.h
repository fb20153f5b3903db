// The phone the client runs on: fixed facts chosen at start (product defaults below, hardware
// address and carrier from the environment) that tests may change. Read them on the main thread or
// set them before any worker starts. The name of the Wi-Fi interface on this machine is a network
// setting: platform::net::NetConfig::wifiInterface.
//
// Configuration: NVX_WIFI_HWADDR (default "02:00:00:00:00:01"), NVX_CARRIER as "name,mcc,mnc"
// (default: no carrier).
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct Carrier {
  std::string name;
  std::string mcc;
  std::string mnc;
};

struct DeviceInfo {
  std::string machine = "iPhone5,2";   // the "hw.machine" text
  std::string model = "iPhone";
  std::string systemVersion = "6.1";
  bool tablet = false;
  std::string wifiHwAddr;              // hardware address of the Wi-Fi interface, never empty
  std::optional<Carrier> carrier;
  std::vector<std::string> languages{"zh-Hans"};
  bool hasCamera = false;
  bool hasLibrary = true;
};

struct ScreenSize {
  double width = 0;
  double height = 0;
  bool operator==(const ScreenSize&) const = default;
};

struct ScreenInfo {
  ScreenSize bounds{320, 568};                            // points
  double scale = 2.0;
  std::optional<ScreenSize> currentMode{ScreenSize{640, 1136}};   // pixels
};

class Device {
 public:
  static DeviceInfo& info();
  static ScreenInfo& screen();
};

}  // namespace platform
