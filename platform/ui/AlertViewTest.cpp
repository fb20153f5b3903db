#include "platform/ui/AlertView.h"

#include <gtest/gtest.h>

#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

struct RecordingDelegate : AlertViewDelegate {
  std::vector<std::string> calls;
  void alertViewClickedButtonAtIndex(AlertView& a, int i) override {
    calls.push_back("clicked " + std::to_string(i) + " tag " + std::to_string(a.tag()));
  }
  void alertViewDidDismissWithButtonIndex(AlertView& a, int i) override {
    calls.push_back("dismissed " + std::to_string(i) + " visible " + std::to_string(a.isVisible()));
  }
};

class AlertViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = Window::create();
    window->makeKeyAndVisible();
  }
  std::shared_ptr<Window> window;
  Inspector inspector;
};

TEST_F(AlertViewTest, CancelIsButtonZeroAndTheOthersFollow) {
  auto withCancel = AlertView::create("T", "M", "稍后再说", {"立即更新", "更多"});
  EXPECT_EQ(withCancel->numberOfButtons(), 3);
  EXPECT_EQ(withCancel->cancelButtonIndex(), 0);
  EXPECT_EQ(withCancel->buttonTitleAtIndex(0), "稍后再说");
  EXPECT_EQ(withCancel->buttonTitleAtIndex(1), "立即更新");
  EXPECT_EQ(withCancel->buttonTitleAtIndex(2), "更多");
  EXPECT_EQ(withCancel->buttonTitleAtIndex(3), "");
  EXPECT_EQ(withCancel->addButton("再加"), 3);

  auto noCancel = AlertView::create("T", "M", std::nullopt, {"确定"});
  EXPECT_EQ(noCancel->cancelButtonIndex(), -1);
  EXPECT_EQ(noCancel->indexOfButton("确定"), 0);
}

TEST_F(AlertViewTest, ATappedButtonTellsTheDelegateOnceAndTheAlertGoes) {
  auto delegate = std::make_shared<RecordingDelegate>();
  std::vector<std::string> callbacks;
  {
    auto alert = AlertView::create("升级", "有新版本", "稍后再说", {"立即更新"});
    alert->setTag(101);
    alert->setDelegate(delegate);
    alert->setOnClicked([&](AlertView&, int i) { callbacks.push_back("onClicked " + std::to_string(i)); });
    alert->setButtonCallback(1, [&] { callbacks.push_back("button 1"); });
    alert->setButtonCallback(0, [&] { callbacks.push_back("button 0"); });
    alert->show();
  }
  ASSERT_EQ(AlertView::visible().size(), 1u);   // kept alive while shown
  EXPECT_EQ(inspector.topAlert()->tag(), 101);

  ASSERT_TRUE(inspector.answerAlert("立即更新").isOk());
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"clicked 1 tag 101", "dismissed 1 visible 0"}));
  EXPECT_EQ(callbacks, (std::vector<std::string>{"onClicked 1", "button 1"}));
  EXPECT_TRUE(AlertView::visible().empty());
  EXPECT_EQ(inspector.topAlert(), nullptr);
  EXPECT_FALSE(inspector.answerAlert("立即更新").isOk());
}

TEST_F(AlertViewTest, DismissingTwiceTellsNobodyTheSecondTime) {
  auto delegate = std::make_shared<RecordingDelegate>();
  auto alert = AlertView::create("", "M", "OK");
  alert->setDelegate(delegate);
  alert->show();
  alert->show();   // already shown
  EXPECT_EQ(AlertView::visible().size(), 1u);
  int dismissedInHandler = 0;
  alert->setOnClicked([&](AlertView& a, int) {
    a.dismissWithClickedButtonIndex(0, false);   // re-entry from the handler
    AlertView::dismissAll();
    ++dismissedInHandler;
  });
  alert->dismissWithClickedButtonIndex(0, true);
  alert->dismissWithClickedButtonIndex(0, true);
  EXPECT_EQ(dismissedInHandler, 1);
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"clicked 0 tag 0", "dismissed 0 visible 0"}));
}

TEST_F(AlertViewTest, AWeakDelegateDoesNotKeepItsTargetAlive) {
  auto delegate = std::make_shared<RecordingDelegate>();
  std::weak_ptr<RecordingDelegate> weak = delegate;
  auto alert = AlertView::create("T", "M", "OK");
  alert->setDelegate(delegate);
  alert->show();
  delegate.reset();
  EXPECT_TRUE(weak.expired());
  ASSERT_TRUE(inspector.answerAlert("OK").isOk());   // nobody to tell, nothing breaks
  EXPECT_TRUE(AlertView::visible().empty());
}

TEST_F(AlertViewTest, AlertsLiveInASecondWindowWhileShown) {
  EXPECT_EQ(Window::all().size(), 1u);
  auto first = AlertView::create("first", "", "OK");
  auto second = AlertView::create("second", "", "取消", {"确定"});
  first->show();
  EXPECT_EQ(Window::all().size(), 2u);
  auto alertWindow = first->window();
  ASSERT_TRUE(alertWindow);
  EXPECT_NE(alertWindow, window);
  EXPECT_FALSE(alertWindow->isKeyWindow());
  EXPECT_EQ(alertWindow->subviews().size(), 1u);   // alerts are direct subviews of the window
  alertWindow.reset();

  second->show();
  EXPECT_EQ(Window::all().size(), 2u);
  EXPECT_EQ(AlertView::visible(), (std::vector<std::shared_ptr<AlertView>>{first, second}));
  EXPECT_TRUE(first->isHidden());   // covered by the newer one until it goes
  EXPECT_FALSE(inspector.answerAlert("OK").isOk());   // only the top alert answers
  ASSERT_TRUE(inspector.answerAlert("确定").isOk());
  EXPECT_FALSE(first->isHidden());

  // The application's window takes no touches while an alert is up.
  auto b = Button::create({0, 100, 100, 44});
  b->setTitle("Pay");
  window->addSubview(b);
  EXPECT_FALSE(inspector.tap("Pay").isOk());

  AlertView::dismissAll();
  EXPECT_TRUE(AlertView::visible().empty());
  EXPECT_EQ(Window::all().size(), 1u);
  EXPECT_TRUE(inspector.tap("Pay").isOk());
}

TEST_F(AlertViewTest, DismissAllUsesButtonZero) {
  auto delegate = std::make_shared<RecordingDelegate>();
  auto a = AlertView::create("A", "", "取消", {"确定"});
  auto b = AlertView::create("B", "", std::nullopt, {"确定"});
  a->setTag(1);
  b->setTag(2);
  a->setDelegate(delegate);
  b->setDelegate(delegate);
  a->show();
  b->show();
  AlertView::dismissAll();
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"clicked 0 tag 1", "dismissed 0 visible 0", "clicked 0 tag 2",
                                                       "dismissed 0 visible 0"}));
}

}  // namespace
}  // namespace platform::ui
