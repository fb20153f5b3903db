#include "app/ui/CustomNavigationConroller.h"

#include <gtest/gtest.h>

#include "core/shell/AppServices.h"
#include "platform/device/Device.h"

namespace nvx {
namespace {

using platform::ScreenSize;
using platform::ui::Orientation;
namespace Mask = platform::ui::OrientationMask;

class WizardServices : public AppServices {
 public:
  bool isShowWizard() override { return wizard; }
  bool wizard = false;
};

TEST(CustomNavigationConroller, RotationRules) {
  struct Case {
    const char* what;
    std::optional<ScreenSize> mode;
    bool wizard;
    bool turns;
  };
  const Case cases[] = {
      {"4-inch retina", ScreenSize{640, 1136}, false, true},
      {"4-inch at scale 1", ScreenSize{320, 568}, false, true},
      {"4-inch with the guide", ScreenSize{640, 1136}, true, false},
      {"3.5-inch", ScreenSize{640, 960}, false, false},
      {"landscape mode numbers", ScreenSize{1136, 640}, false, false},
      {"no screen modes", std::nullopt, false, false},
  };
  auto services = std::make_shared<WizardServices>();
  AppServices::install(services);
  auto nav = CustomNavigationConroller::create(nullptr);
  for (const auto& c : cases) {
    platform::Device::screen().currentMode = c.mode;
    services->wizard = c.wizard;
    EXPECT_EQ(nav->shouldAutorotate(), c.turns) << c.what;
    EXPECT_EQ(nav->supportedOrientations(), c.turns ? (Mask::Portrait | Mask::PortraitUpsideDown) : Mask::Portrait)
        << c.what;
    EXPECT_TRUE(nav->shouldAutorotateTo(Orientation::Portrait)) << c.what;
    EXPECT_EQ(nav->shouldAutorotateTo(Orientation::PortraitUpsideDown), c.turns) << c.what;
    EXPECT_FALSE(nav->shouldAutorotateTo(Orientation::LandscapeLeft)) << c.what;
  }
  EXPECT_EQ(nav->className(), "CustomNavigationConroller");
}

}  // namespace
}  // namespace nvx
