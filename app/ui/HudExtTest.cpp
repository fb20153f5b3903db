#include "app/ui/HudExt.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/shell/AppServices.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::RunLoop;
using platform::ui::AlertView;
using platform::ui::Hud;

// The application delegate's part that the indicators use: its window and its "hud".
class DelegateServices : public AppServices {
 public:
  std::shared_ptr<platform::ui::Window> window() override { return window_; }
  std::shared_ptr<Hud> hud() override { return hud_; }
  void setHud(std::shared_ptr<Hud> hud) override { hud_ = std::move(hud); }

  std::shared_ptr<platform::ui::Window> window_ = platform::ui::Window::create();
  std::shared_ptr<Hud> hud_;
};

class HudExtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services_ = std::make_shared<DelegateServices>();
    services_->window_->makeKeyAndVisible();
    AppServices::install(services_);
  }
  std::vector<std::shared_ptr<Hud>> huds() const { return Hud::on(*services_->window_); }

  std::shared_ptr<DelegateServices> services_;
};

TEST_F(HudExtTest, PromptSits32PointsAboveTheCentreForTwoSeconds) {
  const std::string texts[] = {"好", std::string(400, 'x') + "很长的提示"};
  for (const auto& text : texts) {
    HudExt::prompt(text);
    ASSERT_EQ(huds().size(), 1u);
    auto hud = huds()[0];
    EXPECT_EQ(hud->mode(), Hud::Mode::Text);
    EXPECT_EQ(hud->label(), text);
    EXPECT_EQ(hud->yOffset(), -32);
    EXPECT_EQ(hud->frame(), services_->window_->bounds());
    RunLoop::main().advance(1.999);
    EXPECT_EQ(huds().size(), 1u) << text.size();
    RunLoop::main().advance(0.001);
    EXPECT_TRUE(huds().empty()) << text.size();
  }
  // The prompt does not become the delegate's hud.
  EXPECT_EQ(services_->hud_, nullptr);
}

TEST_F(HudExtTest, PromptsWithFixedTexts) {
  const std::pair<void (*)(), const char*> cases[] = {
      {&HudExt::promptNetFailed, "网络连接失败，请检查网络后重试"},
      {&HudExt::promptDataError, "数据解析异常，请稍后重试"},
      {&HudExt::promptNoMoreData, "没有更多的数据了！"},
  };
  for (const auto& [prompt, text] : cases) {
    prompt();
    auto shown = platform::ui::Inspector().render();
    EXPECT_NE(shown.find("Hud (0,0,320,568) \"" + std::string(text) + "\" mode=text yOffset=-32"), std::string::npos)
        << shown;
    RunLoop::main().advance(HudExt::kPromptSeconds);
  }
  HudExt::prompt("下移", 40);
  EXPECT_EQ(huds().at(0)->yOffset(), 40);
}

TEST_F(HudExtTest, LabelledIndicatorComesLaterAndBecomesTheDelegatesHud) {
  HudExt::show("正在加载");
  EXPECT_TRUE(huds().empty());
  RunLoop::main().runUntilIdle();
  ASSERT_EQ(huds().size(), 1u);
  EXPECT_EQ(huds()[0]->label(), "正在加载");
  EXPECT_EQ(huds()[0]->mode(), Hud::Mode::Spinner);
  EXPECT_EQ(services_->hud_, huds()[0]);

  // From a worker thread as well; the newer one replaces the stored one.
  std::thread worker([] { HudExt::show("正在提交"); });
  worker.join();
  RunLoop::main().runUntilIdle();
  ASSERT_EQ(huds().size(), 2u);
  EXPECT_EQ(services_->hud_->label(), "正在提交");

  HudExt::hide();
  EXPECT_TRUE(huds().empty());
  EXPECT_NE(services_->hud_, nullptr);   // never cleared here
}

TEST_F(HudExtTest, SpinnerShowsAtOnce) {
  auto spinner = HudExt::show();
  ASSERT_NE(spinner, nullptr);
  EXPECT_EQ(huds(), std::vector<std::shared_ptr<Hud>>{spinner});
  EXPECT_EQ(services_->hud_, nullptr);
}

struct Finisher {
  void finish() { ++finished; }
  int finished = 0;
};

TEST_F(HudExtTest, DelayedActionHidesEveryIndicatorThenPerforms) {
  auto target = std::make_shared<Finisher>();
  HudExt::show();   // an indicator of someone else's goes as well
  HudExt::show("支付成功", 1.5, target, &Finisher::finish);
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(huds().size(), 2u);
  RunLoop::main().advance(1.499);
  EXPECT_EQ(target->finished, 0);
  EXPECT_EQ(huds().size(), 2u);
  RunLoop::main().advance(0.001);
  EXPECT_EQ(target->finished, 1);
  EXPECT_TRUE(huds().empty());
}

TEST_F(HudExtTest, DelayedActionWithoutTargetStillHides) {
  auto gone = std::make_shared<Finisher>();
  HudExt::show("a", 1.0, {}, &Finisher::finish);
  HudExt::show("b", 1.0, gone, &Finisher::finish);
  gone.reset();   // the screen went away meanwhile
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(huds().size(), 2u);
  RunLoop::main().advance(1.0);
  EXPECT_TRUE(huds().empty());
}

TEST_F(HudExtTest, AlertsHoldBackScreenPromptsUnlessAllCarryTheFriendlyTag) {
  EXPECT_FALSE(HudExt::isAlertHoldingPrompts());
  auto friendly = AlertView::create("", "提示", "知道了");
  friendly->setTag(HudExt::kPromptFriendlyAlertTag);
  friendly->show();
  EXPECT_FALSE(HudExt::isAlertHoldingPrompts());
  auto other = AlertView::create("", "余额不足", "知道了");
  other->show();
  EXPECT_TRUE(HudExt::isAlertHoldingPrompts());
  friendly->dismissWithClickedButtonIndex(0, false);
  EXPECT_TRUE(HudExt::isAlertHoldingPrompts());
  ASSERT_TRUE(platform::ui::Inspector().answerAlert("知道了").isOk());
  EXPECT_FALSE(HudExt::isAlertHoldingPrompts());
}

TEST(HudExtWithoutWindow, ShowsNothing) {
  HudExt::prompt("x");
  HudExt::show("y");
  EXPECT_EQ(HudExt::show(), nullptr);
  HudExt::hide();
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(AppServices::current().hud(), nullptr);
}

}  // namespace
}  // namespace nvx
