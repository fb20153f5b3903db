#include "app/ui/CarRentalViewController.h"

#include <gtest/gtest.h>

#include "app/ui/PopMenuButton.h"
#include "app/ui/testing/TestPictureBundle.h"
#include "net/testing/MainApiTestFixture.h"
#include "platform/device/UrlOpener.h"
#include "platform/ui/Inspector.h"

namespace nvx {
namespace {

class CarRentalTest : public testing::MainApiTestFixture {
 protected:
  void SetUp() override {
    MainApiTestFixture::SetUp();
    pictures_.emplace(std::vector<std::string>{"car_rental.jpg", "car_rental_btn.png", "car_rental_down_btn.png"});
  }
  // After the fixture has read the project files through the real bundle.
  std::optional<testing::TestPictureBundle> pictures_;
  platform::ui::Inspector inspector;
};

TEST_F(CarRentalTest, OffersToCallTheHotline) {
  auto screen = CarRentalViewController::create();
  services->navigation->push(screen, false);
  EXPECT_EQ(screen->title(), "租车");
  auto button = screen->phoneButton();
  EXPECT_EQ(button->frame().origin(), (platform::ui::Point{30, 568 - 125}));

  struct Case {
    const char* name;
    bool canDial;
    const char* choice;
    std::vector<std::string> opened;
    const char* alertTitle;
  };
  const Case cases[] = {
      {"call", true, "呼叫", {"tel:4001234567"}, nullptr},
      {"a phone that cannot dial", false, "呼叫", {}, "租车热线：400-123-4567"},
      {"cancel", true, "取消", {}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::UrlOpener::shared().setOpenable("tel", c.canDial);
    const auto before = platform::UrlOpener::shared().opened().size();
    ASSERT_TRUE(inspector.tapControl(*button).isOk());
    auto sheet = inspector.topSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->title(), "电话: 400-123-4567");
    EXPECT_EQ(sheet->buttonTitleAtIndex(sheet->destructiveButtonIndex()), "呼叫");
    ASSERT_TRUE(inspector.chooseInSheet(c.choice).isOk());
    auto opened = platform::UrlOpener::shared().opened();
    EXPECT_EQ(std::vector<std::string>(opened.begin() + static_cast<long>(before), opened.end()), c.opened);
    auto alert = inspector.topAlert();
    if (c.alertTitle) {
      ASSERT_TRUE(alert);
      EXPECT_EQ(alert->title(), c.alertTitle);
      EXPECT_EQ(alert->message(), "您的设备不支持拨打电话");
      ASSERT_TRUE(inspector.answerAlert("知道了").isOk());
    } else {
      EXPECT_FALSE(alert);
    }
  }
}

TEST(PopMenuButton, PassesTheMenuOnToADelegateThatAnswers) {
  auto button = PopMenuButton::create({0, 0, 44, 44});
  EXPECT_TRUE(button->canBecomeFirstResponder());
  auto& menu = EditMenuController::shared();
  ASSERT_EQ(menu.menuItems().size(), 2u);
  EXPECT_EQ(menu.menuItems()[0]->title, "手机浏览器打开");
  EXPECT_EQ(menu.menuItems()[1]->title, "复制链接");

  auto delegate = std::make_shared<PopMenuButtonDelegate>();
  std::vector<std::string> heard;
  delegate->onCopyUrlToPasteboard = [&] { heard.push_back("copy"); };
  button->setDelegate(delegate);
  menu.menuItems()[0]->action();   // not answered: nothing
  menu.menuItems()[1]->action();
  EXPECT_EQ(heard, std::vector<std::string>{"copy"});

  menu.setMenuVisible(true);
  auto items = menu.menuItems();
  button.reset();
  EXPECT_FALSE(menu.isMenuVisible());
  items[1]->action();   // the button is gone: nothing
  EXPECT_EQ(heard.size(), 1u);
}

}  // namespace
}  // namespace nvx
