#include "platform/ui/ActionSheet.h"

#include <gtest/gtest.h>

#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

struct SheetDelegate : ActionSheetDelegate {
  std::vector<std::string> calls;
  void actionSheetClickedButtonAtIndex(ActionSheet& s, int i) override {
    calls.push_back("clicked " + std::to_string(i) + " " + s.buttonTitleAtIndex(i));
  }
  void actionSheetDidDismissWithButtonIndex(ActionSheet&, int i) override {
    calls.push_back("dismissed " + std::to_string(i));
  }
};

TEST(ActionSheet, ButtonsAreDestructiveFirstThenOthersThenCancel) {
  auto sheet = ActionSheet::create("13800138000", "取消", "拨打", {"复制", "发短信"});
  ASSERT_EQ(sheet->numberOfButtons(), 4);
  EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
  EXPECT_EQ(sheet->buttonTitleAtIndex(0), "拨打");
  EXPECT_EQ(sheet->buttonTitleAtIndex(1), "复制");
  EXPECT_EQ(sheet->buttonTitleAtIndex(2), "发短信");
  EXPECT_EQ(sheet->cancelButtonIndex(), 3);
  EXPECT_EQ(sheet->buttonTitleAtIndex(3), "取消");

  auto plain = ActionSheet::create("t", std::nullopt, std::nullopt, {"a", "b"});
  EXPECT_EQ(plain->destructiveButtonIndex(), -1);
  EXPECT_EQ(plain->cancelButtonIndex(), -1);
  EXPECT_EQ(plain->buttonTitleAtIndex(0), "a");
  auto cancelOnly = ActionSheet::create("t", "取消", std::nullopt, {"a"});
  EXPECT_EQ(cancelOnly->cancelButtonIndex(), 1);
}

TEST(ActionSheet, ChoosingAButtonTellsTheDelegateOnceAndTheSheetGoes) {
  auto window = Window::create();
  window->makeKeyAndVisible();
  auto behind = Button::create({10, 10, 100, 44});
  behind->setTitle("Behind");
  window->addSubview(behind);
  auto host = View::create({0, 64, 320, 504});
  window->addSubview(host);

  auto delegate = std::make_shared<SheetDelegate>();
  {
    auto sheet = ActionSheet::create("请选择您需要使用的手机号码", "取消", std::nullopt, {"138（手机）", "139"});
    sheet->setDelegate(delegate);
    sheet->showIn(*host);
  }
  Inspector inspector;
  auto sheet = inspector.topSheet();
  ASSERT_TRUE(sheet);
  EXPECT_EQ(sheet->superview(), window);   // over the whole window
  EXPECT_FALSE(inspector.tap("Behind").isOk());
  EXPECT_FALSE(inspector.chooseInSheet("140").isOk());
  ASSERT_TRUE(inspector.chooseInSheet("139").isOk());
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"clicked 1 139", "dismissed 1"}));
  EXPECT_EQ(inspector.topSheet(), nullptr);
  EXPECT_EQ(sheet->superview(), nullptr);
  sheet->tap(2);   // gone already: nothing
  EXPECT_EQ(delegate->calls.size(), 2u);
  EXPECT_TRUE(inspector.tap("Behind").isOk());
}

}  // namespace
}  // namespace platform::ui
