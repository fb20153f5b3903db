#include "platform/device/Device.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/foundation/Process.h"

namespace platform {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(Device, ProductDefaults) {
  ScopedEnv hw("NVX_WIFI_HWADDR", nullptr), carrier("NVX_CARRIER", nullptr);
  const DeviceInfo& d = Device::info();
  EXPECT_EQ(d.machine, "iPhone5,2");
  EXPECT_EQ(d.model, "iPhone");
  EXPECT_EQ(d.systemVersion, "6.1");
  EXPECT_FALSE(d.tablet);
  EXPECT_EQ(d.wifiHwAddr, "02:00:00:00:00:01");
  EXPECT_FALSE(d.carrier);
  EXPECT_EQ(d.languages, std::vector<std::string>{"zh-Hans"});
  EXPECT_FALSE(d.hasCamera);
  EXPECT_TRUE(d.hasLibrary);

  const ScreenInfo& s = Device::screen();
  EXPECT_EQ(s.bounds, (ScreenSize{320, 568}));
  EXPECT_EQ(s.scale, 2.0);
  EXPECT_EQ(s.currentMode, (ScreenSize{640, 1136}));
}

TEST(Device, ReadsConfigurationFromTheEnvironment) {
  struct Case {
    const char* hwaddr;
    const char* carrier;
    std::string expectHw;
    std::optional<std::string> expectCarrier;   // "name|mcc|mnc"
  };
  const Case cases[] = {
      {"AA:BB:CC:DD:EE:FF", "中国移动,460,00", "AA:BB:CC:DD:EE:FF", "中国移动|460|00"},
      {"", "", "02:00:00:00:00:01", std::nullopt},   // empty settings: the defaults
      {nullptr, "onlyname", "02:00:00:00:00:01", std::nullopt},
      {nullptr, "a,b,c,d", "02:00:00:00:00:01", std::nullopt},
      {nullptr, ",460,01", "02:00:00:00:00:01", "|460|01"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.carrier ? c.carrier : "(none)");
    ScopedEnv hw("NVX_WIFI_HWADDR", c.hwaddr), carrier("NVX_CARRIER", c.carrier);
    Process::current().reset(ResetKind::Fresh);
    const DeviceInfo& d = Device::info();
    EXPECT_EQ(d.wifiHwAddr, c.expectHw);
    std::optional<std::string> got;
    if (d.carrier) got = d.carrier->name + "|" + d.carrier->mcc + "|" + d.carrier->mnc;
    EXPECT_EQ(got, c.expectCarrier);
  }
}

TEST(Device, ChangesLastUntilTheNextReset) {
  Device::info().machine = "iPhone3,3";
  Device::screen().bounds = {320, 480};
  Device::screen().currentMode.reset();
  EXPECT_EQ(Device::info().machine, "iPhone3,3");
  EXPECT_FALSE(Device::screen().currentMode);
  Process::current().reset(ResetKind::Restart);
  EXPECT_EQ(Device::info().machine, "iPhone5,2");
  EXPECT_EQ(Device::screen().bounds, (ScreenSize{320, 568}));
  EXPECT_TRUE(Device::screen().currentMode);
}

}  // namespace
}  // namespace platform
