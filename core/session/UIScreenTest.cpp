#include "core/session/UIScreen.h"

#include <gtest/gtest.h>

#include "core/session/UIDevice.h"
#include "platform/device/Device.h"

namespace nvx {
namespace {

using platform::Device;
using platform::ScreenSize;
using platform::ui::Size;

struct ScreenCase {
  const char* what;
  ScreenSize bounds;
  double scale;
  std::optional<ScreenSize> mode;
  const char* resolution;
  Size screenSize;
  int resolutionClass;   // on a phone
};

TEST(UIScreenTest, ResolutionTextsAndClasses) {
  const ScreenCase cases[] = {
      {"4-inch retina phone", {320, 568}, 2, ScreenSize{640, 1136}, "1136_640", {320, 568}, 3},
      {"a 320 x 568 mode whatever the bounds", {320, 480}, 1, ScreenSize{320, 568}, "1136_640", {160, 284}, 3},
      {"3.5-inch retina phone", {320, 480}, 2, ScreenSize{640, 960}, "960_640", {320, 480}, 2},
      {"3.5-inch phone", {320, 480}, 1, ScreenSize{320, 480}, "480_320", {160, 240}, 3},
      {"no current mode", {320, 480}, 2, std::nullopt, "960_640", {0, 0}, 2},
      {"scale 3 counts as 1", {414, 736}, 3, ScreenSize{1242, 2208}, "736_414", {621, 1104}, 3},
  };
  for (const ScreenCase& c : cases) {
    Device::screen().bounds = c.bounds;
    Device::screen().scale = c.scale;
    Device::screen().currentMode = c.mode;
    EXPECT_EQ(UIScreen::themeResolution(), c.resolution) << c.what;
    EXPECT_EQ(UIScreen::screenSize(), c.screenSize) << c.what;
    EXPECT_EQ(UIScreen::isRetina(), c.scale == 2) << c.what;
    EXPECT_EQ(UIDevice::currentResolution(), c.resolutionClass) << c.what;
  }
  Device::info().tablet = true;
  EXPECT_EQ(UIDevice::currentResolution(), 5);
}

TEST(UIDeviceTest, ModelNames) {
  struct Case {
    const char* machine;
    const char* name;
    bool iphone5;
  };
  const Case cases[] = {
      {"iPhone1,1", "iPhone 1G", false},       {"iPhone1,2", "iPhone 3G", false},
      {"iPhone2,1", "iPhone 3GS", false},      {"iPhone3,1", "iPhone 4", false},
      {"iPhone3,2", "Verizon iPhone 4", false}, {"iPhone4,1", "iPhone 4S", false},
      {"iPhone5,1", "iPhone 5", true},         {"iPhone5,2", "iPhone 5", true},
      {"iPod1,1", "iPod Touch 1G", false},     {"iPod2,1", "iPod Touch 2G", false},
      {"iPod3,1", "iPod Touch 3G", false},     {"iPod4,1", "iPod Touch 4G", false},
      {"iPad1,1", "iPad", false},              {"iPad2,1", "iPad 2 (WiFi)", false},
      {"iPad2,2", "iPad 2 (GSM)", false},      {"iPad2,3", "iPad 2 (CDMA)", false},
      {"i386", "Simulator", false},            {"x86_64", "Simulator", false},
      // Unknown machines come back unchanged; one that begins with "iPhone5" still counts.
      {"iPhone5,3", "iPhone5,3", true},        {"iPhone6,1", "iPhone6,1", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    Device::info().machine = c.machine;
    EXPECT_EQ(UIDevice::deviceString(), c.name) << c.machine;
    EXPECT_EQ(UIDevice::isIphone5(), c.iphone5) << c.machine;
  }
}

}  // namespace
}  // namespace nvx
