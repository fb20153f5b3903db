#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_UIDeviceHardware.h"

#include <string_view>
#include <utility>

#include "platform/device/Device.h"

namespace nvx::reader {

std::string CSwiper_UIDeviceHardware::platform() { return platform::Device::info().machine; }

std::string CSwiper_UIDeviceHardware::platformString() { return platformString(platform()); }

std::string CSwiper_UIDeviceHardware::platformString(const std::string& identifier) {
  static constexpr std::pair<std::string_view, std::string_view> kNames[] = {
      {"iPhone1,1", "iPhone 1G"},     {"iPhone1,2", "iPhone 3G"},     {"iPhone2,1", "iPhone 3GS"},
      {"iPhone3,1", "iPhone 4"},      {"iPhone3,3", "iPhone 4 CDMA"}, {"iPod1,1", "iPod Touch 1G"},
      {"iPod2,1", "iPod Touch 2G"},   {"iPod3,1", "iPod Touch 3G"},   {"iPod4,1", "iPod Touch 4G"},
      {"iPad1,1", "iPad"},            {"i386", "Simulator"},
  };
  for (const auto& [id, name] : kNames) {
    if (identifier == id) return std::string(name);
  }
  return identifier;
}

}  // namespace nvx::reader
