#include <gtest/gtest.h>

#include "core/shell/ScreenRegistry.h"
#include "app/ui/testing/TestScreenServices.h"
#include "client/ClientMain.h"
#include "client/NVXAppDelegate.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

class RootScreen : public platform::ui::ViewController {
 public:
  std::string className() const override { return "RootScreen"; }
};

// Every screen class the client registers, pushed and popped on the client's own stack, is
// released: a screen kept alive by its own callbacks would leak and keep answering reader events.
TEST(ModuleScreensTest, EveryRegisteredScreenIsReleasedWhenPopped) {
  auto delegate = std::make_shared<NVXAppDelegate>();
  installClient(delegate);
  ASSERT_FALSE(ScreenRegistry::shared().names().empty());

  auto root = std::make_shared<RootScreen>();
  auto navigation = platform::ui::NavigationController::create(root);
  auto window = platform::ui::Window::create();
  window->setRootViewController(navigation);
  window->makeKeyAndVisible();

  EXPECT_EQ(testing::screensNotReleased(*navigation), std::vector<std::string>{});
}

}  // namespace
}  // namespace nvx
