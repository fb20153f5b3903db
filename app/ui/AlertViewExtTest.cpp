#include "app/ui/AlertViewExt.h"

#include <gtest/gtest.h>

#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::AlertView;
using platform::ui::Inspector;

struct RecordingDelegate : platform::ui::AlertViewDelegate {
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override {
    clicked.push_back(alert.message() + ":" + std::to_string(index));
  }
  std::vector<std::string> clicked;
};

std::vector<std::string> buttons(const AlertView& alert) {
  std::vector<std::string> out;
  for (int i = 0; i < alert.numberOfButtons(); ++i) out.push_back(alert.buttonTitleAtIndex(i));
  return out;
}

TEST(AlertViewExt, ConstructorsThatDoNotShow) {
  auto plain = AlertViewExt::alertTitle("提示", "确认退出？", "取消");
  auto more = AlertViewExt::alertTitle("提示", "确认退出？", "取消", {"确定", "稍后"});
  EXPECT_FALSE(plain->isVisible());
  EXPECT_FALSE(more->isVisible());
  EXPECT_EQ(buttons(*plain), std::vector<std::string>{"取消"});
  EXPECT_EQ(buttons(*more), (std::vector<std::string>{"取消", "确定", "稍后"}));
  EXPECT_EQ(more->cancelButtonIndex(), 0);
  EXPECT_EQ(AlertViewExt::alertTitle("", "m", std::nullopt, {"a"})->cancelButtonIndex(), -1);

  auto delegate = std::make_shared<RecordingDelegate>();
  AlertViewExt::show(*more, delegate);
  EXPECT_TRUE(more->isVisible());
  ASSERT_TRUE(Inspector().answerAlert("稍后").isOk());
  EXPECT_EQ(delegate->clicked, std::vector<std::string>{"确认退出？:2"});
}

TEST(AlertViewExt, ShownWithADelegateThatIsNotOwned) {
  auto delegate = std::make_shared<RecordingDelegate>();
  auto ok = AlertViewExt::alertWithDelegate(delegate, "提示", "已提交");
  EXPECT_TRUE(ok->isVisible());
  EXPECT_EQ(buttons(*ok), std::vector<std::string>{"确定"});
  ASSERT_TRUE(Inspector().answerAlert("确定").isOk());

  auto two = AlertViewExt::alertWithDelegate(delegate, "", "去绑定？", "取消", "去绑定");
  EXPECT_EQ(buttons(*two), (std::vector<std::string>{"取消", "去绑定"}));
  ASSERT_TRUE(Inspector().answerAlert("去绑定").isOk());
  EXPECT_EQ(delegate->clicked, (std::vector<std::string>{"已提交:0", "去绑定？:1"}));

  AlertViewExt::alertWithDelegate(delegate, "", "无人接收");
  delegate.reset();
  EXPECT_TRUE(Inspector().answerAlert("确定").isOk());
}

TEST(AlertViewExt, ButtonsWithTheirOwnCallbacks) {
  std::vector<std::string> ran;
  AlertViewExt::alertWithTitle("提示", "删除这张卡？", [&] { ran.push_back("cancel"); }, [&] { ran.push_back("commit"); });
  auto alert = Inspector().topAlert();
  ASSERT_NE(alert, nullptr);
  EXPECT_EQ(buttons(*alert), (std::vector<std::string>{"取消", "确定"}));
  ASSERT_TRUE(Inspector().answerAlert("确定").isOk());
  AlertViewExt::alertWithTitle("提示", "删除这张卡？", [&] { ran.push_back("cancel"); }, [&] { ran.push_back("commit"); });
  ASSERT_TRUE(Inspector().answerAlert("取消").isOk());
  EXPECT_EQ(ran, (std::vector<std::string>{"commit", "cancel"}));

  // Items: no cancel item, one item without a callback.
  auto items = AlertViewExt::alertWithTitle("", "重试？", std::nullopt, AlertButtonItem{"重试", {}});
  EXPECT_EQ(buttons(*items), std::vector<std::string>{"重试"});
  ASSERT_TRUE(Inspector().answerAlert("重试").isOk());
  AlertViewExt::alertWithTitle("", "重试？", AlertButtonItem{"放弃", [&] { ran.push_back("give up"); }},
                               AlertButtonItem{"重试", [&] { ran.push_back("retry"); }});
  ASSERT_TRUE(Inspector().answerAlert("重试").isOk());
  EXPECT_EQ(ran.back(), "retry");
  EXPECT_EQ(ran.size(), 3u);
}

TEST(AlertViewExt, DismissWithTagTakesTheFirstPerWindowAsButtonZero) {
  auto delegate = std::make_shared<RecordingDelegate>();
  auto make = [&](const char* message, int tag) {
    auto a = AlertViewExt::alertTitle("", message, "取消", {"确定"});
    a->setTag(tag);
    AlertViewExt::show(*a, delegate);
    return a;
  };
  auto first = make("a", 5);
  auto second = make("b", 5);
  auto other = make("c", 6);

  AlertViewExt::dismissWithTag(5);
  EXPECT_FALSE(first->isVisible());
  EXPECT_TRUE(second->isVisible());
  EXPECT_TRUE(other->isVisible());
  AlertViewExt::dismissWithTag(7);
  EXPECT_EQ(AlertView::visible().size(), 2u);

  AlertViewExt::dismissAll();
  EXPECT_TRUE(AlertView::visible().empty());
  EXPECT_EQ(delegate->clicked, (std::vector<std::string>{"a:0", "b:0", "c:0"}));
  AlertViewExt::dismissAll();   // nothing left: nothing happens
}

}  // namespace
}  // namespace nvx
