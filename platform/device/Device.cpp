#include "platform/device/Device.h"

#include <cstdlib>
#include <string_view>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace platform {

namespace {

constexpr const char* kDefaultHwAddr = "02:00:00:00:00:01";

std::string environment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : std::string(fallback);
}

std::optional<Carrier> carrierFromEnvironment() {
  const char* value = std::getenv("NVX_CARRIER");
  if (!value || !*value) return std::nullopt;
  std::string_view text(value);
  size_t first = text.find(',');
  size_t second = first == std::string_view::npos ? first : text.find(',', first + 1);
  if (second == std::string_view::npos || text.find(',', second + 1) != std::string_view::npos) {
    log::warning("Device", "NVX_CARRIER is not \"name,mcc,mnc\"; no carrier");
    return std::nullopt;
  }
  return Carrier{std::string(text.substr(0, first)), std::string(text.substr(first + 1, second - first - 1)),
                 std::string(text.substr(second + 1))};
}

struct DeviceState {
  DeviceInfo info;
  ScreenInfo screen;
  DeviceState() {
    info.wifiHwAddr = environment("NVX_WIFI_HWADDR", kDefaultHwAddr);
    info.carrier = carrierFromEnvironment();
  }
};

DeviceState& state() { return Process::current().shared<DeviceState>(); }

}  // namespace

DeviceInfo& Device::info() { return state().info; }
ScreenInfo& Device::screen() { return state().screen; }

}  // namespace platform
