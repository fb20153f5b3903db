#include "core/session/UIDevice.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string_view>

#include "core/crypto/Digest.h"
#include "core/text/CArithmetic.h"
#include "platform/device/Device.h"
#include "platform/foundation/Log.h"

namespace nvx {

using platform::Device;

namespace {

// Six bytes written as two hex digits each, separated by ":" or "-" (the separators optional).
std::optional<std::array<unsigned, 6>> hardwareAddress(std::string_view text) {
  std::array<unsigned, 6> bytes{};
  size_t pos = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && pos < text.size() && (text[pos] == ':' || text[pos] == '-')) ++pos;
    if (pos + 2 > text.size()) return std::nullopt;
    int high = hexDigitValue(text[pos]);
    int low = hexDigitValue(text[pos + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[i] = static_cast<unsigned>(high * 16 + low);
    pos += 2;
  }
  if (pos != text.size()) return std::nullopt;
  return bytes;
}

}  // namespace

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

std::string UIDevice::wifiAddressDigest() {
  const std::string& text = Device::info().wifiHwAddr;
  auto bytes = hardwareAddress(text);
  if (!bytes) {
    platform::log::warning("UIDevice", "the Wi-Fi hardware address \"" + text +
                                           "\" is not six hex bytes; using zeros");
    bytes.emplace();
  }
  char written[18];
  std::snprintf(written, sizeof written, "%02X:%02X:%02X:%02X:%02X:%02X", (*bytes)[0], (*bytes)[1],
                (*bytes)[2], (*bytes)[3], (*bytes)[4], (*bytes)[5]);
  return md5Hex(written);
}

}  // namespace nvx
