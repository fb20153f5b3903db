#include "net/DataStatistics.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "app/core/Digest.h"
#include "app/core/User.h"
#include "platform/device/Device.h"
#include "platform/device/Reachability.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Six bytes written as two hex digits each, separated by ":" or "-" (the separators optional).
std::optional<std::array<unsigned, 6>> hardwareAddress(std::string_view text) {
  std::array<unsigned, 6> bytes{};
  size_t pos = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && pos < text.size() && (text[pos] == ':' || text[pos] == '-')) ++pos;
    if (pos + 2 > text.size()) return std::nullopt;
    int high = hexValue(text[pos]);
    int low = hexValue(text[pos + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[i] = static_cast<unsigned>(high * 16 + low);
    pos += 2;
  }
  if (pos != text.size()) return std::nullopt;
  return bytes;
}

}  // namespace

DataStatistics& DataStatistics::sharedDataStatistics() {
  return platform::Process::current().shared<DataStatistics>();
}

std::string DataStatistics::deviceId() const {
  const std::string& text = platform::Device::info().wifiHwAddr;
  auto bytes = hardwareAddress(text);
  if (!bytes) {
    platform::log::warning("DataStatistics", "the Wi-Fi hardware address \"" + text +
                                                 "\" is not six hex bytes; using zeros");
    bytes.emplace();
  }
  char written[18];
  std::snprintf(written, sizeof written, "%02X:%02X:%02X:%02X:%02X:%02X", (*bytes)[0], (*bytes)[1],
                (*bytes)[2], (*bytes)[3], (*bytes)[4], (*bytes)[5]);
  return md5Hex(written);
}

std::string DataStatistics::UA() const {
  std::string machine = platform::Device::info().machine;
  std::replace(machine.begin(), machine.end(), ',', '-');
  return machine;
}

std::string DataStatistics::getDeviceVersion() const { return platform::Device::info().machine; }

std::string DataStatistics::resolution() const {
  const auto& bounds = platform::Device::screen().bounds;
  char text[64];
  std::snprintf(text, sizeof text, "%.0f*%.0f", bounds.width, bounds.height);
  return text;
}

std::optional<std::string> DataStatistics::appVersion() const {
  return platform::Bundle::main().info("CFBundleVersion");
}

std::optional<std::string> DataStatistics::language() const {
  if (auto list = platform::UserDefaults::standard().array("AppleLanguages");
      list && !list->empty() && list->front().is_string()) {
    return list->front().get<std::string>();
  }
  const auto& languages = platform::Device::info().languages;
  if (languages.empty()) return std::nullopt;
  return languages.front();
}

std::string DataStatistics::iosVersion() const { return platform::Device::info().systemVersion; }

std::string DataStatistics::phoneNumber() const { return {}; }

std::string DataStatistics::psamId() const { return User::currentUser().psamId(); }

std::optional<std::string> DataStatistics::unitId() const {
  return platform::UserDefaults::standard().string(kUnitIdKey);
}

std::string DataStatistics::carrierName() const {
  const auto& carrier = platform::Device::info().carrier;
  if (!carrier) return {};
  if (carrier->name == "中国联通") return "l";
  if (carrier->name == "中国移动") return "y";
  if (carrier->name == "中国电信") return "d";
  return {};
}

std::optional<std::string> DataStatistics::mobileCountryCode() const {
  const auto& carrier = platform::Device::info().carrier;
  if (!carrier) return std::nullopt;
  return carrier->mcc;
}

std::optional<std::string> DataStatistics::mobileNetworkCode() const {
  const auto& carrier = platform::Device::info().carrier;
  if (!carrier) return std::nullopt;
  return carrier->mnc;
}

std::optional<std::string> DataStatistics::mobileNetworkName() const {
  const auto& carrier = platform::Device::info().carrier;
  if (!carrier) return std::nullopt;
  return carrier->name;
}

std::optional<std::string> DataStatistics::IMSISubFive() const {
  const auto& carrier = platform::Device::info().carrier;
  if (!carrier) return std::nullopt;
  return carrier->mcc + carrier->mnc;
}

std::string DataStatistics::netWorkStatus() const {
  return platform::toText(platform::Reachability::statusOfHost(kReachabilityHost));
}

bool DataStatistics::isNotReachableNetWork() const {
  return platform::Reachability::statusOfHost(kReachabilityHost) == platform::NetworkStatus::NotReachable;
}

}  // namespace nvx
