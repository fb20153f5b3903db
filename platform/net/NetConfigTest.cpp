#include "platform/net/NetConfig.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/foundation/Process.h"

namespace platform::net {
namespace {

TEST(NetConfig, WifiInterfaceComesFromTheEnvironment) {
  const char* previous = std::getenv("NVX_WIFI_IF");
  std::optional<std::string> saved = previous ? std::optional<std::string>(previous) : std::nullopt;
  struct Case {
    const char* setting;   // nullptr: not set
    const char* expect;
  };
  for (const Case& c : {Case{"wlan0", "wlan0"}, Case{"", "lo"}, Case{nullptr, "lo"}}) {
    SCOPED_TRACE(c.setting ? c.setting : "(not set)");
    if (c.setting) {
      ::setenv("NVX_WIFI_IF", c.setting, 1);
    } else {
      ::unsetenv("NVX_WIFI_IF");
    }
    Process::current().reset(ResetKind::Fresh);   // the settings are read when first used
    EXPECT_EQ(NetConfig::current().wifiInterface, c.expect);
  }
  if (saved) {
    ::setenv("NVX_WIFI_IF", saved->c_str(), 1);
  } else {
    ::unsetenv("NVX_WIFI_IF");
  }
}

}  // namespace
}  // namespace platform::net
