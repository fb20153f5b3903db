#include "client/NVXAppDelegate.h"
#include "pay/CheckoutVerification.h"

#include <gtest/gtest.h>

#include "app/ui/CustomNavigationConroller.h"
#include "core/session/NVXContext.h"
#include "net/RequestHook.h"
#include "platform/foundation/Archive.h"
#include "client/testing/StartupTestFixture.h"
#include "lottery/core/StaticVariable.h"
#include "platform/device/Device.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Testing.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ViewController.h"

namespace nvx {
namespace {

namespace OrientationMask = platform::ui::OrientationMask;
using testing::StartupTest;

TEST_F(StartupTest, FirstStageShowsOnlyTheSplashInABlackKeyWindow) {
  launch();
  ASSERT_TRUE(delegate);
  EXPECT_EQ(NVXAppDelegate::shared(), delegate);
  EXPECT_EQ(&AppServices::current(), static_cast<AppServices*>(delegate.get()));

  auto window = delegate->window();
  ASSERT_TRUE(window);
  EXPECT_TRUE(window->isKeyWindow());
  EXPECT_TRUE(window->isVisible());
  ASSERT_TRUE(window->backgroundColor());
  EXPECT_EQ(*window->backgroundColor(), platform::ui::Color::black());
  EXPECT_EQ(window->frame(), (platform::ui::Rect{0, 0, 320, 568}));

  ASSERT_EQ(window->subviews().size(), 1u);
  auto splash = std::dynamic_pointer_cast<platform::ui::ImageView>(window->subviews().front());
  ASSERT_TRUE(splash);
  EXPECT_EQ(splash->tag(), 50785);
  EXPECT_EQ(splash->frame(), (platform::ui::Rect{0, 0, 320, 568}));
  ASSERT_TRUE(splash->image());
  // The 4-inch screen gets the tall splash.
  EXPECT_EQ(splash->image()->name, "app_splash-568h.png");
  EXPECT_EQ(splash->image()->size, (platform::ui::Size{320, 568}));

  // Nothing else exists before the second stage.
  EXPECT_FALSE(delegate->navigationController());
  EXPECT_FALSE(delegate->swiper());
  EXPECT_FALSE(delegate->home());
  EXPECT_FALSE(delegate->isAppLaunched());
  EXPECT_EQ(delegate->ksnState(), 0);
}

TEST_F(StartupTest, StartWiresTheClientBeforeTheFirstStage) {
  launch();
  EXPECT_TRUE(RequestHook::isInstalled());
  for (const char* name : {"ThemeEntity", "RetStatusEntity", "PageResultEntity", "ClientVersionEntity", "BankCardEntity"}) {
    EXPECT_TRUE(platform::isArchivableRegistered(name)) << name;
  }
  EXPECT_TRUE(ScreenRegistry::shared().has("SwiperInvalidViewController"));

  platform::RunLoop::main().advance(NVXAppDelegate::kSecondStageDelay);
  // Screen tracking: the screen whose view loaded last.
  auto other = std::make_shared<testing::OtherScreen>();
  delegate->navigationController()->push(other, false);
  EXPECT_EQ(NVXContext::sharedContext().visibleViewController(), other);
  // The navigation bars' look.
  auto bar = delegate->navigationController()->navigationBar();
  auto background = std::dynamic_pointer_cast<platform::ui::ImageView>(bar->subviews().empty() ? nullptr : bar->subviews().front());
  ASSERT_TRUE(background && background->image());
  EXPECT_EQ(background->image()->name, "top_bg.png");
}

TEST_F(StartupTest, ShortScreenGetsThePlainSplash) {
  platform::Device::screen().bounds = {320, 480};
  platform::Device::screen().currentMode = platform::ScreenSize{640, 960};
  launch();
  auto splash = std::dynamic_pointer_cast<platform::ui::ImageView>(
      delegate->window()->viewWithTag(NVXAppDelegate::kSplashTag));
  ASSERT_TRUE(splash && splash->image());
  EXPECT_EQ(splash->image()->name, "app_splash.png");
  EXPECT_EQ(splash->frame(), (platform::ui::Rect{0, 0, 320, 480}));
}

TEST_F(StartupTest, UpsideDownOnlyOnTallScreensWithoutTheGuide) {
  struct Case {
    std::optional<platform::ScreenSize> mode;
    bool wizard;
    int mask;
  };
  const int upright = OrientationMask::Portrait;
  const int both = OrientationMask::Portrait | OrientationMask::PortraitUpsideDown;
  const Case cases[] = {
      {platform::ScreenSize{640, 1136}, false, both},
      {platform::ScreenSize{640, 1136}, true, upright},
      {platform::ScreenSize{640, 960}, false, upright},
      // The window allows what its screens allow on the same 4-inch screen.
      {platform::ScreenSize{320, 568}, false, both},
      {platform::ScreenSize{1136, 640}, false, upright},
      {std::nullopt, false, upright},
  };
  EXPECT_EQ(upright, 2);
  EXPECT_EQ(both, 6);
  launch();
  auto& app = platform::ui::Application::shared();
  for (const auto& c : cases) {
    platform::Device::screen().currentMode = c.mode;
    delegate->setIsShowWizard(c.wizard);
    EXPECT_EQ(app.supportedInterfaceOrientations(*delegate->window()), c.mask) << "wizard=" << c.wizard;
  }
}

TEST_F(StartupTest, SecondStageTwoSecondsLaterBuildsTheHomeRootTheGuideAndTheHub) {
  auto& defaults = platform::UserDefaults::standard();
  auto& app = platform::ui::Application::shared();
  auto& loop = platform::RunLoop::main();
  app.setApplicationIconBadgeNumber(5);
  launch();

  ASSERT_TRUE(delegate->secondStageTimer());
  loop.advance(1.999);
  EXPECT_TRUE(delegate->secondStageTimer()) << "second stage ran early";
  EXPECT_FALSE(delegate->navigationController());
  EXPECT_FALSE(defaults.contains(NVXAppDelegate::kIsRestartKey));
  loop.advance(0.001);
  EXPECT_FALSE(delegate->secondStageTimer()) << "second stage did not run at 2.0 s";

  EXPECT_EQ(defaults.string("isRestart"), "1");
  // One navigation stack, rooted at the home screen, as the window's root.
  auto nav = std::dynamic_pointer_cast<CustomNavigationConroller>(delegate->navigationController());
  ASSERT_TRUE(nav);
  ASSERT_EQ(nav->stack().size(), 1u);
  EXPECT_EQ(nav->stack().front(), home());
  EXPECT_EQ(delegate->home(), home());
  EXPECT_EQ(delegate->window()->rootViewController(), nav);
  EXPECT_EQ(app.applicationIconBadgeNumber(), 0);
  // The first run of this version shows the guide, which records the version.
  EXPECT_TRUE(delegate->isShowWizard());
  EXPECT_EQ(defaults.string("start_help_page"), "3.1.5");
  // The hub, with this delegate as its receiver.
  ASSERT_TRUE(delegate->swiper());
  EXPECT_EQ(delegate->swiper()->delegate().lock().get(),
            static_cast<reader::CSwiperControllerDelegate*>(delegate.get()));
  EXPECT_EQ(AppServices::current().swiper(), delegate->swiper());
  EXPECT_EQ(app.registeredNotificationTypes(), 7);
  EXPECT_EQ(defaults.string("nvx_client_version"), "3.1.5");
  EXPECT_TRUE(delegate->isAppLaunched());
  // The activation record of a new version goes to the statistics server at once.
  EXPECT_TRUE(await([&] { return !statisticsRequests("insertStaticesInfo").empty(); }));
  EXPECT_EQ(statisticsRequests("insertStaticesInfo").front().formValue("infoStr").value_or("").substr(0, 5), "0010,");

  // The splash covers the home screen until 0.5 s after the home screen first shows.
  EXPECT_TRUE(delegate->window()->viewWithTag(NVXAppDelegate::kSplashTag));
  loop.advance(0.499);
  EXPECT_TRUE(delegate->window()->viewWithTag(NVXAppDelegate::kSplashTag));
  loop.advance(0.001);
  EXPECT_FALSE(delegate->window()->viewWithTag(NVXAppDelegate::kSplashTag));
}

TEST_F(StartupTest, WithoutAHomeScreenTheSplashStaysAndTheRestRuns) {
  ScreenRegistry::shared().add(HomeScreen::kClassName, [] { return nullptr; });
  platform::log::Capture log;
  launchAndStart();
  EXPECT_FALSE(delegate->navigationController());
  EXPECT_TRUE(delegate->window()->viewWithTag(NVXAppDelegate::kSplashTag));
  EXPECT_TRUE(log.contains("no home screen"));
  EXPECT_TRUE(delegate->swiper());
  EXPECT_TRUE(delegate->isAppLaunched());
}

TEST(NVXAppDelegateRules, GuideVersionComparesTheFirstThreeCharacters) {
  struct Case {
    std::optional<std::string> stored;
    bool bigUpdate;
  };
  // The short version is "3.1.5".
  const Case cases[] = {
      {std::nullopt, true}, {"3.1.0", false}, {"3.1.5", false}, {"3.1", false},
      {"3.2.0", true},      {"3.0.9", true},  {"3", true},       {"", true},
  };
  auto& defaults = platform::UserDefaults::standard();
  for (const auto& c : cases) {
    if (c.stored) {
      defaults.set("start_help_page", *c.stored);
    } else {
      defaults.remove("start_help_page");
    }
    EXPECT_EQ(NVXAppDelegate::isBigUpdate(), c.bigUpdate) << c.stored.value_or("(missing)");
  }
}

TEST_F(StartupTest, GuideOnlyForANewVersionPrefix) {
  platform::UserDefaults::standard().set("start_help_page", "3.1.0");
  launchAndStart();
  EXPECT_FALSE(delegate->isShowWizard());
  EXPECT_EQ(platform::UserDefaults::standard().string("start_help_page"), "3.1.0");
}

TEST_F(StartupTest, GuideForAnOlderVersionPrefix) {
  platform::UserDefaults::standard().set("start_help_page", "3.0.9");
  launchAndStart();
  EXPECT_TRUE(delegate->isShowWizard());
  EXPECT_EQ(platform::UserDefaults::standard().string("start_help_page"), "3.1.5");
}

// A URL from another app before the second stage: only the lottery rule may take it; the second
// stage routes the launch URL; the client opened by another app shows no guide, and neither does
// a later normal start of the same version.
TEST_F(StartupTest, UrlBeforeTheSecondStageIsRoutedFromTheLaunchOptions) {
  const std::string url = "merchant://M001;O42;12.00;ABCDEF;9;shopapp;1234";
  platform::ui::LaunchOptions options;
  options.url = url;
  platform::log::Capture log;
  launch(options);
  EXPECT_FALSE(platform::ui::LifecycleDriver::openURL(url));
  EXPECT_TRUE(delegate->isSYT());
  EXPECT_FALSE(delegate->checkout());

  platform::RunLoop::main().advance(NVXAppDelegate::kSecondStageDelay);
  ASSERT_TRUE(delegate->checkout()) << "the launch URL was not routed";
  EXPECT_EQ(delegate->checkout()->checkoutData().orderId, "O42");
  EXPECT_FALSE(delegate->isShowWizard());
  EXPECT_FALSE(delegate->isSYT());
  EXPECT_EQ(platform::UserDefaults::standard().string("start_help_page"), "3.1.5");

  restartClient();
  launchAndStart();
  EXPECT_FALSE(delegate->isShowWizard());
}

TEST_F(StartupTest, LotteryLinksAreTakenBeforeAndAfterTheSecondStage) {
  launch();
  EXPECT_TRUE(platform::ui::LifecycleDriver::openURL("nvx://lotteryTicket?page=2"));
  EXPECT_TRUE(lottery::StaticVariable::shared().shuaxin());

  platform::RunLoop::main().advance(NVXAppDelegate::kSecondStageDelay);
  lottery::StaticVariable::shared().setShuaxin(false);
  EXPECT_TRUE(platform::ui::LifecycleDriver::openURL("nvx://lotteryTicket?page=3"));
  EXPECT_TRUE(lottery::StaticVariable::shared().shuaxin());
  EXPECT_EQ(home()->ticketLinks, std::vector<std::string>{"nvx://lotteryTicket?page=3"});

  // Another screen in front: taken, but the home screen is not asked.
  delegate->navigationController()->push(std::make_shared<testing::OtherScreen>(), false);
  EXPECT_TRUE(platform::ui::LifecycleDriver::openURL("nvx://lotteryTicket?page=1"));
  EXPECT_EQ(home()->ticketLinks.size(), 1u);

  EXPECT_FALSE(platform::ui::LifecycleDriver::openURL("nvx://pay?message=abc"));
}

TEST(NVXAppDelegateRules, OlderCheckoutUrlNeedsSevenFields) {
  auto data = NVXAppDelegate::oldCheckoutDictionary("shop://M001;O42;12.00;ABCDEF;9;shopapp;1234");
  ASSERT_TRUE(data);
  EXPECT_EQ(*data, (platform::Json{{"merId", "M001"},
                                   {"orderId", "O42"},
                                   {"amount", "12.00"},
                                   {"mac", "ABCDEF"},
                                   {"minCode", "9"},
                                   {"redirectURL", "shopapp"},
                                   {"randnum", "1234"},
                                   {"macType", "2"}}));
  // Extra fields are ignored; empty fields count.
  EXPECT_TRUE(NVXAppDelegate::oldCheckoutDictionary("shop://a;b;c;d;e;f;g;h"));
  EXPECT_TRUE(NVXAppDelegate::oldCheckoutDictionary("shop://;;;;;;"));
  for (const char* declined : {"shop://a;b;c;d;e;f", "shop:a;b;c;d;e;f;g", "", "shop://", "a;b;c://d;e;f;g"}) {
    EXPECT_FALSE(NVXAppDelegate::oldCheckoutDictionary(declined)) << declined;
  }
  // Only the piece between the first "://" and the next counts.
  EXPECT_FALSE(NVXAppDelegate::oldCheckoutDictionary("shop://a;b;c://d;e;f;g"));
}

TEST_F(StartupTest, LocalReminderAtLaunchAndWhileRunning) {
  platform::ui::LaunchOptions options;
  options.localNotificationUserInfo =
      platform::Json{{"CategoryClock", "还款提醒"}, {"CustomContentClock", "信用卡今天到期"}, {"ActivityClock", "1"}};
  launch(options);
  EXPECT_FALSE(platform::ui::AlertView::top()) << "the reminder came before the second stage";
  platform::RunLoop::main().advance(NVXAppDelegate::kSecondStageDelay);
  auto alert = platform::ui::AlertView::top();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->title(), "还款提醒");
  EXPECT_EQ(alert->message(), "信用卡今天到期");
  ASSERT_EQ(alert->numberOfButtons(), 1);
  EXPECT_EQ(alert->buttonTitleAtIndex(0), "知道了");
  EXPECT_EQ(alert->cancelButtonIndex(), 0);
  ASSERT_TRUE(inspector.answerAlert("知道了").isOk());

  // In the background the user opens it; no message text: no message.
  platform::ui::LifecycleDriver::enterBackground();
  platform::ui::LifecycleDriver::localNotification(platform::Json{{"CategoryClock", "账单提醒"}});
  alert = platform::ui::AlertView::top();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->title(), "账单提醒");
  EXPECT_EQ(alert->message(), "");
}

}  // namespace
}  // namespace nvx
