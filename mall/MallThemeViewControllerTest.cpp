#include "mall/MallThemeViewController.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScriptedWebEngine.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

class MallThemeViewControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = std::make_shared<platform::ui::ScriptedWebEngine>();
    platform::ui::WebView::setDefaultEngine(engine);
  }

  std::shared_ptr<MallThemeViewController> show(const std::string& url) {
    ThematicMallEntity entity;
    entity.setUrl(url);
    auto page = MallThemeViewController::create();
    page->setThematicEntity(entity);
    nav = platform::ui::NavigationController::create(page);
    window = platform::ui::Window::create();
    window->setRootViewController(nav);
    window->makeKeyAndVisible();
    platform::RunLoop::main().runUntilIdle();
    return page;
  }

  std::shared_ptr<platform::ui::ScriptedWebEngine> engine;
  std::shared_ptr<platform::ui::NavigationController> nav;
  std::shared_ptr<platform::ui::Window> window;
};

TEST_F(MallThemeViewControllerTest, ShowsTheSubjectPageTitledByItsAddress) {
  const std::string url = "http://mall.test/subject/9?title=周末特惠&pCode=P100";
  engine->setPage("http://mall.test/subject/9?title=%E5%91%A8%E6%9C%AB%E7%89%B9%E6%83%A0&pCode=P100",
                  "<html><head><title>专题</title></head><body>特惠商品</body></html>");
  auto page = show(url);
  EXPECT_EQ(page->title(), "周末特惠");
  ASSERT_TRUE(page->webview());
  EXPECT_EQ(page->webview()->frame(), page->view()->bounds());
  // The address goes out escaped as UTF-8, reserved characters kept.
  ASSERT_EQ(engine->requested().size(), 1u);
  EXPECT_EQ(engine->requested().front(),
            "http://mall.test/subject/9?title=%E5%91%A8%E6%9C%AB%E7%89%B9%E6%83%A0&pCode=P100");
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return page->webview()->hasPage(); }, platform::secs(1)));
  EXPECT_EQ(page->webview()->pageText(), "特惠商品");
}

TEST_F(MallThemeViewControllerTest, NoTitleWithoutOneInTheAddress) {
  auto page = show("http://mall.test/subject/9?pCode=P100");
  EXPECT_EQ(page->title(), "");
  EXPECT_EQ(engine->requested(), std::vector<std::string>{"http://mall.test/subject/9?pCode=P100"});
}

}  // namespace
}  // namespace nvx
