#include "core/session/UIDevice.h"

#include <string_view>

#include "platform/device/Device.h"

namespace nvx {

using platform::Device;

int UIDevice::currentResolution() {
  const auto& screen = Device::screen();
  if (Device::info().tablet) return 5;
  return screen.bounds.height * screen.scale == 960 ? 2 : 3;
}

std::string UIDevice::deviceString() {
  struct Model {
    std::string_view machine;
    std::string_view name;
  };
  static constexpr Model kModels[] = {
      {"iPhone1,1", "iPhone 1G"},     {"iPhone1,2", "iPhone 3G"},        {"iPhone2,1", "iPhone 3GS"},
      {"iPhone3,1", "iPhone 4"},      {"iPhone3,2", "Verizon iPhone 4"}, {"iPhone4,1", "iPhone 4S"},
      {"iPhone5,1", "iPhone 5"},      {"iPhone5,2", "iPhone 5"},         {"iPod1,1", "iPod Touch 1G"},
      {"iPod2,1", "iPod Touch 2G"},   {"iPod3,1", "iPod Touch 3G"},      {"iPod4,1", "iPod Touch 4G"},
      {"iPad1,1", "iPad"},            {"iPad2,1", "iPad 2 (WiFi)"},      {"iPad2,2", "iPad 2 (GSM)"},
      {"iPad2,3", "iPad 2 (CDMA)"},   {"i386", "Simulator"},             {"x86_64", "Simulator"},
  };
  const std::string& machine = Device::info().machine;
  for (const auto& m : kModels) {
    if (m.machine == machine) return std::string(m.name);
  }
  return machine;
}

bool UIDevice::isIphone5() {
  std::string name = deviceString();
  return name == "iPhone 5" || name.starts_with("iPhone5");
}

}  // namespace nvx
