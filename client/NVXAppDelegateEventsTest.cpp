// The application delegate's events after start-up: upgrade offers, push messages, marketing
// entries, the push device token, the statistics uploads and the reader events.
#include <gtest/gtest.h>

#include "core/session/NVXConfig.h"
#include "core/session/User.h"
#include "app/ui/AdvertisingWebViewController.h"
#include "client/NVXAppDelegate.h"
#include "client/testing/StartupTestFixture.h"
#include "mall/MallCartManagement.h"
#include "mall/MallThemeViewController.h"
#include "net/BaseService.h"
#include "net/DataStatistics.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/Jack.h"
#include "standin/SimulatedReader0002.h"

namespace nvx {
namespace {

using testing::StartupTest;
using platform::Json;
using platform::ui::LifecycleDriver;

Json clientVersion(int mustup) {
  return Json{{"mustup", mustup}, {"descTitle", "发现新版本"}, {"clientDesc", "修复了若干问题"}, {"aimVersion", "3.2.0"}};
}

Json push(const std::string& msgId, const Json& type, const std::string& alert = "您有一条新消息") {
  return Json{{"aps", {{"msgId", msgId}, {"type", type}, {"alert", alert}}}};
}

bool appStoreOpened() {
  for (const auto& url : platform::UrlOpener::shared().opened()) {
    if (url == NVXAppDelegate::kAppStorePage) return true;
  }
  return false;
}

// Moves the calendar (not the timers) forward.
void advanceWallClock(double seconds) {
  platform::virtualClock()->setWall(platform::clock().wallNow() + platform::secs(seconds));
}

// --- upgrades ---------------------------------------------------------------------------------

TEST_F(StartupTest, OptionalUpgradeAtMostOnceInFourteenDays) {
  api->setClientVersions(Json::array({clientVersion(0)}));
  launch();
  ASSERT_TRUE(await([] { return !alertsTagged(101).empty(); }));
  auto alert = alertsTagged(101).front();
  EXPECT_EQ(alert->title(), "发现新版本");
  EXPECT_EQ(alert->message(), "修复了若干问题");
  ASSERT_EQ(alert->numberOfButtons(), 2);
  EXPECT_EQ(alert->buttonTitleAtIndex(0), "稍后再说");
  EXPECT_EQ(alert->cancelButtonIndex(), 0);
  EXPECT_EQ(alert->buttonTitleAtIndex(1), "立即更新");
  EXPECT_TRUE(delegate->hasAlert());

  // Not twice while it is up.
  reactivate();
  EXPECT_EQ(alertsTagged(101).size(), 1u);

  ASSERT_TRUE(inspector.answerAlert("稍后再说").isOk());
  EXPECT_FALSE(appStoreOpened());
  EXPECT_FALSE(delegate->hasAlert());
  ASSERT_TRUE(delegate->recordTime());

  reactivate();
  EXPECT_TRUE(alertsTagged(101).empty()) << "offered again at once";
  advanceWallClock(NVXAppDelegate::kUpgradeHoldBackSeconds - 1);
  reactivate();
  EXPECT_TRUE(alertsTagged(101).empty()) << "offered again within 14 days";
  advanceWallClock(1);
  reactivate();
  ASSERT_TRUE(await([] { return alertsTagged(101).size() == 1; })) << "not offered again after 14 days";

  const auto held = delegate->recordTime();
  ASSERT_TRUE(inspector.answerAlert("立即更新").isOk());
  EXPECT_TRUE(appStoreOpened());
  EXPECT_EQ(delegate->recordTime(), held) << "the update button holds nothing back";
}

TEST_F(StartupTest, ForcedUpgradeAtEveryActivationEvenOverAnotherAlert) {
  api->setClientVersions(Json::array({clientVersion(0)}));
  launch();
  ASSERT_TRUE(await([] { return !alertsTagged(101).empty(); }));

  api->setClientVersions(Json::array({clientVersion(1)}));
  reactivate();
  ASSERT_TRUE(await([] { return alertsTagged(102).size() == 1; }));
  auto forced = alertsTagged(102).front();
  EXPECT_EQ(platform::ui::AlertView::top(), forced);
  ASSERT_EQ(forced->numberOfButtons(), 1);
  EXPECT_EQ(forced->buttonTitleAtIndex(0), "确定");
  EXPECT_EQ(forced->cancelButtonIndex(), -1);

  // A refusal of the optional offer does not hold the forced one back either.
  alertsTagged(101).front()->dismissWithClickedButtonIndex(0, false);
  reactivate();
  EXPECT_TRUE(await([] { return alertsTagged(102).size() == 2; }));

  ASSERT_TRUE(inspector.answerAlert("确定").isOk());
  EXPECT_TRUE(appStoreOpened());
}

TEST_F(StartupTest, UpgradeCheckFailuresShowNothing) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
  };
  const Case cases[] = {
      {"empty list", [&] { api->setClientVersions(Json::array()); }},
      {"server error", [&] { api->script("getShuakaqiList", standin::MainApiStandin::Scripted::error("9999", "系统繁忙")); }},
      {"not JSON", [&] { api->script("getShuakaqiList", standin::MainApiStandin::Scripted::htmlErrorPage()); }},
      {"unknown mustup", [&] { api->setClientVersions(Json::array({clientVersion(2)})); }},
  };
  launch();
  ASSERT_TRUE(await([&] { return versionRequests() == 1; }));
  settle();
  for (const auto& c : cases) {
    api->clearScripts();
    c.arrange();
    reactivate();
    EXPECT_TRUE(platform::ui::AlertView::visible().empty()) << c.name;
    EXPECT_FALSE(delegate->hasAlert()) << c.name;
  }
}

// --- push messages ----------------------------------------------------------------------------

TEST_F(StartupTest, PushMessagesWhileActiveAskFirstThenOpenTheirContent) {
  launchAndStart();
  auto nav = delegate->navigationController();
  setPushMessage("m1", Json{{"aContent", "<p>停机维护通知</p>"}, {"aUrl", "http://127.0.0.1:9/notice"}});
  setPushMessage("m2", Json{{"note", "M20020"}});
  setPushMessage("m3", Json::object());
  setPushMessage("m4", Json{{"note", "M20020"}});
  setPushMessage("m5", Json{{"aUrl", "http://127.0.0.1:9/mall/theme?title=周末特惠&pCode=P100"}});

  struct Case {
    std::string msgId;
    Json type;
    int tag;
  };
  const Case cases[] = {{"m1", 1, 901}, {"m2", "2", 902}, {"m3", 3, 900}, {"m4", 4, 903}, {"m5", 5, 904}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.msgId);
    nav->push(std::make_shared<testing::OtherScreen>(), false);
    const size_t fetched = statisticsRequests("getIosPushMsg").size();
    LifecycleDriver::remotePush(push(c.msgId, c.type));
    auto alert = platform::ui::AlertView::top();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), c.tag);
    EXPECT_EQ(alert->title(), "");
    EXPECT_EQ(alert->message(), "您有一条新消息");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "取消");
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "确定");
    EXPECT_EQ(statisticsRequests("getIosPushMsg").size(), fetched) << "fetched before the user asked";
    ASSERT_TRUE(inspector.answerAlert("确定").isOk());
    ASSERT_TRUE(await([&] { return statisticsRequests("getIosPushMsg").size() == fetched + 1; }));
    settle();
  }

  // Type 1: the notice, pushed by the home screen.
  ASSERT_EQ(home()->advertised.size(), 1u);
  auto advert = std::dynamic_pointer_cast<AdvertisingWebViewController>(home()->advertised.front());
  ASSERT_TRUE(advert);
  EXPECT_EQ(advert->notice(), "<p>停机维护通知</p>");
  EXPECT_EQ(advert->adURL(), "http://127.0.0.1:9/notice");
  // Type 2: the business by its code, behind the home screen's login rule; type 4: nothing.
  EXPECT_EQ(home()->opened, std::vector<std::string>{"M20020"});
  // Type 3: the App Store page.
  EXPECT_TRUE(appStoreOpened());
  // Type 5: the mall subject page on the home screen, with the promotion as the mall source.
  ASSERT_EQ(nav->stack().size(), 2u);
  EXPECT_EQ(nav->stack().front(), home());
  auto page = std::dynamic_pointer_cast<MallThemeViewController>(nav->topViewController());
  ASSERT_TRUE(page);
  ASSERT_TRUE(page->thematicEntity());
  EXPECT_EQ(page->thematicEntity()->url(), "http://127.0.0.1:9/mall/theme?title=周末特惠&pCode=P100");
  EXPECT_EQ(MallCartManagement::shareCart().mallSourceId(), "P100");
  page->view();
  EXPECT_EQ(page->title(), "周末特惠");

  // Each message was recorded (0017) with its id and as known.
  size_t records = 0;
  for (const auto& r : statisticsRequests("insertStaticesInfo")) {
    const std::string info = r.formValue("infoStr").value_or("");
    if (info.rfind("0017,", 0) == 0) {
      ++records;
      EXPECT_EQ(info.back(), '1') << info;
    }
  }
  EXPECT_GE(records, 5u);
}

TEST_F(StartupTest, UnknownPushTypesAskNothingAndUnknownBusinessesOpenNothing) {
  launchAndStart();
  LifecycleDriver::remotePush(push("m0", 0));
  LifecycleDriver::remotePush(push("m6", 6));
  EXPECT_TRUE(platform::ui::AlertView::visible().empty());
  ASSERT_TRUE(await([&] { return statisticsRequests("insertStaticesInfo").size() >= 3; }));
  bool sawUnknown = false;
  for (const auto& r : statisticsRequests("insertStaticesInfo")) {
    const std::string info = r.formValue("infoStr").value_or("");
    if (info.rfind("0017,", 0) == 0 && info.find(",m6,") != std::string::npos) sawUnknown = info.back() == '0';
  }
  EXPECT_TRUE(sawUnknown) << "type 6 recorded as unknown";

  setPushMessage("m7", Json{{"note", "NOSUCHBOX"}});
  LifecycleDriver::remotePush(push("m7", 2));
  ASSERT_TRUE(inspector.answerAlert("确定").isOk());
  ASSERT_TRUE(await([&] { return !statisticsRequests("getIosPushMsg").empty(); }));
  settle();
  EXPECT_TRUE(home()->opened.empty());
}

TEST_F(StartupTest, PushOpenedFromTheBackgroundOpensAtOnce) {
  launchAndStart();
  setPushMessage("m2", Json{{"note", "B00002"}});
  LifecycleDriver::enterBackground();
  LifecycleDriver::remotePush(push("m2", "2"));
  EXPECT_TRUE(platform::ui::AlertView::visible().empty());
  ASSERT_TRUE(await([&] { return !home()->opened.empty(); }));
  EXPECT_EQ(home()->opened, std::vector<std::string>{"B00002"});
  EXPECT_EQ(delegate->remotePushDic(), push("m2", "2"));
}

TEST_F(StartupTest, PushAtLaunchIsFetchedByTheSecondStage) {
  setPushMessage("m9", Json{{"note", "B00013"}});
  platform::ui::LaunchOptions options;
  options.remotePayload = push("m9", 2);
  launch(options);
  settle();
  EXPECT_TRUE(statisticsRequests("getIosPushMsg").empty());
  platform::RunLoop::main().advance(NVXAppDelegate::kSecondStageDelay);
  ASSERT_TRUE(await([&] { return home() && !home()->opened.empty(); }));
  EXPECT_EQ(home()->opened, std::vector<std::string>{"B00013"});
}

TEST_F(StartupTest, ClosingAPushAlertHoldsBackTheOptionalUpgrade) {
  launchAndStart();
  LifecycleDriver::remotePush(push("m4", 4));
  ASSERT_EQ(alertsTagged(903).size(), 1u);
  ASSERT_TRUE(inspector.answerAlert("取消").isOk());
  ASSERT_TRUE(delegate->recordTime());

  api->setClientVersions(Json::array({clientVersion(0)}));
  reactivate();
  EXPECT_TRUE(alertsTagged(101).empty());
}

TEST_F(StartupTest, MarketingEntriesOpenByType) {
  launchAndStart();
  auto nav = delegate->navigationController();

  nav->push(std::make_shared<testing::OtherScreen>(), false);
  delegate->marketingSchedulling("2", "B00002", "", "");
  EXPECT_EQ(nav->stack().size(), 1u) << "not popped to the home screen";
  EXPECT_EQ(home()->opened, std::vector<std::string>{"B00002"});

  // An advert is opened even without its texts.
  delegate->marketingSchedulling("1", "", "", "");
  ASSERT_EQ(home()->advertised.size(), 1u);

  delegate->marketingSchedulling("5", "", "", "http://127.0.0.1:9/mall?pCode=M7");
  EXPECT_TRUE(std::dynamic_pointer_cast<MallThemeViewController>(nav->topViewController()));
  EXPECT_EQ(MallCartManagement::shareCart().mallSourceId(), "M7");

  delegate->marketingSchedulling("4", "B00002", "", "");
  delegate->marketingSchedulling("9", "B00002", "", "");
  EXPECT_EQ(nav->stack().size(), 1u);
  EXPECT_EQ(home()->opened.size(), 1u);
  EXPECT_FALSE(appStoreOpened());
  delegate->marketingSchedulling("3", "", "", "");
  EXPECT_TRUE(appStoreOpened());
}

// --- push registration --------------------------------------------------------------------------

TEST(NVXAppDelegateRules, DeviceTokenIsWrittenAsThePlatformWritesData) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char* text;
  };
  const Case cases[] = {
      {{}, "<>"},
      {{0x0a}, "<0a>"},
      {{0x0a, 0x1b, 0x2c, 0x3d}, "<0a1b2c3d>"},
      {{0x0a, 0x1b, 0x2c, 0x3d, 0xff}, "<0a1b2c3d ff>"},
      {{0, 1, 2, 3, 4, 5, 6, 7, 8}, "<00010203 04050607 08>"},
  };
  for (const auto& c : cases) EXPECT_EQ(NVXAppDelegate::deviceTokenDescription(c.bytes), c.text);
}

TEST_F(StartupTest, DeviceTokenIsStoredAndPosted) {
  auto& defaults = platform::UserDefaults::standard();
  launchAndStart();
  std::vector<uint8_t> token;
  for (uint8_t b = 0; b < 32; ++b) token.push_back(static_cast<uint8_t>(b * 7 + 1));
  LifecycleDriver::deviceToken(token);

  const std::string expected = NVXAppDelegate::deviceTokenDescription(token).substr(1, 71);
  EXPECT_EQ(expected.size(), 71u);
  EXPECT_EQ(defaults.string("NUVEXA_DEVICE_TOKEN"), expected);
  EXPECT_EQ(defaults.string("USER_IS_FIRST_LOGIN"), "NO");

  ASSERT_TRUE(await([&] { return !statisticsRequests("addIphoneToken").empty(); }));
  const auto request = statisticsRequests("addIphoneToken").front();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.formValue("deviceToken"), expected);
  EXPECT_EQ(request.formValue("deviceId"), DataStatistics::sharedDataStatistics().deviceId());
  EXPECT_EQ(request.formValue("switchState"), "1");
  EXPECT_EQ(request.query.substr(0, request.query.find("&vercode=")), "uid=" + BaseService::uid());
  EXPECT_NE(request.query.find("vercode=" + BaseService::vercode()), std::string::npos);

  // A failed registration empties the token; a token too short to be one is neither stored nor sent.
  LifecycleDriver::tokenFailed("no push service");
  EXPECT_EQ(defaults.string("NUVEXA_DEVICE_TOKEN"), "");
  LifecycleDriver::deviceToken({});
  settle();
  EXPECT_EQ(defaults.string("NUVEXA_DEVICE_TOKEN"), "");
  EXPECT_EQ(statisticsRequests("addIphoneToken").size(), 1u);
}

// --- leaving the foreground --------------------------------------------------------------------

TEST_F(StartupTest, StatisticsUploadOnResignActiveAndInTheBackground) {
  auto& app = platform::ui::Application::shared();
  auto& statistics = DataStatistics::sharedDataStatistics();
  launchAndStart();
  // The main host known to be reachable, and enough records for an upload.
  ASSERT_TRUE(await([] { return NVXConfig::sharedConfig().isNetValid(); }));
  // The first upload of a sandbox only lays out the upload file.
  LifecycleDriver::resignActive();
  settle();
  LifecycleDriver::becomeActive();
  for (int i = 0; i < 8; ++i) statistics.stepRecord("M50001_1");

  LifecycleDriver::resignActive();
  ASSERT_TRUE(await([&] { return statisticsRequests("uploadCsvFile").size() == 1; }));
  settle();

  LifecycleDriver::becomeActive();
  auto checkout = std::make_shared<reader::CSwiperControllerDelegate>();
  delegate->swiper()->setCheckoutDelegate(checkout);
  ASSERT_FALSE(platform::ui::LifecycleDriver::openURL("other://x"));
  ASSERT_TRUE(delegate->isSYT());
  LifecycleDriver::resignActive();
  settle();
  for (int i = 0; i < 8; ++i) statistics.stepRecord("M50001_2");

  LifecycleDriver::enterBackground();
  EXPECT_FALSE(delegate->isSYT());
  EXPECT_FALSE(delegate->swiper()->checkoutDelegate().lock());
  EXPECT_EQ(app.backgroundTasks().size(), 1u) << "no background task around the upload";
  ASSERT_TRUE(await([&] { return statisticsRequests("uploadCsvFile").size() == 2 && app.backgroundTasks().empty(); }));
}

TEST_F(StartupTest, BackgroundTaskEndsWhenItsTimeRunsOut) {
  auto& app = platform::ui::Application::shared();
  launchAndStart();
  LifecycleDriver::enterBackground();
  ASSERT_EQ(app.backgroundTasks().size(), 1u);
  LifecycleDriver::expireBackgroundTasks();
  EXPECT_TRUE(app.backgroundTasks().empty());
  settle();
  EXPECT_TRUE(app.backgroundTasks().empty());
}

// --- reader events -----------------------------------------------------------------------------

// A screen in front: records each event with what the session looked like when it came.
class RecordingListener : public reader::CSwiperControllerDelegate {
 public:
  explicit RecordingListener(std::shared_ptr<NVXAppDelegate> app) : app_(std::move(app)) {}
  struct Seen {
    std::string event;
    std::string psamId;
    int ksnState;
    std::string detail;
  };
  void onDevicePlugged() override { seen("onDevicePlugged"); }
  void onDeviceUnplugged() override { seen("onDeviceUnplugged"); }
  void onNoDeviceDetected() override { seen("onNoDeviceDetected"); }
  void onWaitingForDevice() override { seen("onWaitingForDevice"); }
  void onWaitingForCardSwipe() override { seen("onWaitingForCardSwipe"); }
  void onCardSwipeDetected() override { seen("onCardSwipeDetected"); }
  void onDecodingStart() override { seen("onDecodingStart"); }
  void onDecodeCompleted(const std::optional<std::string>& formatID, const std::string& ksn,
                         const std::string& encTracks, int32_t t1, int32_t t2, int32_t t3,
                         const std::string& randomNumber, const std::string& maskedPAN, const std::string& expiryDate,
                         const std::optional<std::string>& cardHolderName) override {
    seen("onDecodeCompleted", formatID.value_or("-") + "|" + ksn + "|" + encTracks + "|" + std::to_string(t1) + "|" +
                                  std::to_string(t2) + "|" + std::to_string(t3) + "|" + randomNumber + "|" +
                                  maskedPAN + "|" + expiryDate + "|" + cardHolderName.value_or("-"));
  }
  void onDecodeError(int32_t decodeResult) override { seen("onDecodeError", std::to_string(decodeResult)); }
  void onTimeout() override { seen("onTimeout"); }
  void onInterrupted() override { seen("onInterrupted"); }
  void onGetKsnCompleted(const std::string& ksn) override { seen("onGetKsnCompleted", ksn); }
  void onError(int32_t code, const std::string& message) override {
    seen("onError", std::to_string(code) + "|" + message);
  }

  std::vector<Seen> events;
  bool has(const std::string& event) const {
    for (const auto& e : events) {
      if (e.event == event) return true;
    }
    return false;
  }

 private:
  void seen(std::string event, std::string detail = {}) {
    events.push_back({std::move(event), User::currentUser().psamId(), app_->ksnState(), std::move(detail)});
  }
  std::shared_ptr<NVXAppDelegate> app_;
};

TEST_F(StartupTest, ReaderEventsPassOnAfterTheDelegatesOwnStep) {
  launchAndStart();
  auto listener = std::make_shared<RecordingListener>(delegate);
  delegate->setSwiperListener(listener);
  auto hub = delegate->swiper();
  User& user = User::currentUser();
  const std::string ksn = "CBC3201306010042";

  user.setPsamId(ksn);
  hub->onDevicePlugged();
  ASSERT_EQ(listener->events.size(), 1u);
  EXPECT_EQ(listener->events.back().psamId, "") << "cleared before the screen heard the plug";

  hub->onGetKsnCompleted(ksn);
  EXPECT_EQ(listener->events.back().event, "onGetKsnCompleted");
  EXPECT_EQ(listener->events.back().psamId, ksn);
  EXPECT_EQ(listener->events.back().ksnState, 4);

  // An empty serial number changes nothing and is still passed on.
  delegate->onGetKsnCompleted("");
  EXPECT_EQ(listener->events.back().event, "onGetKsnCompleted");
  EXPECT_EQ(listener->events.back().detail, "");
  EXPECT_EQ(user.psamId(), ksn);
  EXPECT_EQ(delegate->ksnState(), 4);

  hub->onDeviceUnplugged();
  EXPECT_EQ(listener->events.back().event, "onDeviceUnplugged");
  EXPECT_EQ(listener->events.back().psamId, "");
  EXPECT_EQ(listener->events.back().ksnState, 0);

  // The serial number could not be read: the delegate's alert, then the screen.
  hub->onError(reader::kReaderErrorKsn, "无法读取");
  EXPECT_EQ(listener->events.back().detail, "-3|无法读取");
  auto alert = platform::ui::AlertView::top();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->title(), "刷卡器识别失败");
  EXPECT_EQ(alert->message(), "请确认刷卡器型号，或重新拔插刷卡器再试。");
  ASSERT_EQ(alert->numberOfButtons(), 1);
  EXPECT_EQ(alert->buttonTitleAtIndex(0), "知道了");
  ASSERT_TRUE(inspector.answerAlert("知道了").isOk());
  EXPECT_FALSE(delegate->recordTime()) << "the reader alert is not the delegate's";
  delegate->onError(reader::kReaderErrorBusy, "忙");
  EXPECT_TRUE(platform::ui::AlertView::visible().empty());
  EXPECT_EQ(listener->events.back().detail, "-2|忙");

  // Every other event passes on unchanged.
  listener->events.clear();
  hub->onNoDeviceDetected();
  hub->onWaitingForDevice();
  hub->onWaitingForCardSwipe();
  hub->onCardSwipeDetected();
  hub->onDecodingStart();
  hub->onDecodeCompleted("99", ksn, "A1B2", 0, 37, 104, "0011223344556677", "622202*********0123", "2512", std::nullopt);
  hub->onDecodeError(-7);
  hub->onTimeout();
  hub->onInterrupted();
  std::vector<std::string> names;
  for (const auto& e : listener->events) names.push_back(e.event);
  EXPECT_EQ(names, (std::vector<std::string>{"onNoDeviceDetected", "onWaitingForDevice", "onWaitingForCardSwipe",
                                             "onCardSwipeDetected", "onDecodingStart", "onDecodeCompleted",
                                             "onDecodeError", "onTimeout", "onInterrupted"}));
  EXPECT_EQ(listener->events[5].detail, "99|" + ksn + "|A1B2|0|37|104|0011223344556677|622202*********0123|2512|-");
  EXPECT_EQ(listener->events[6].detail, "-7");

  // A listener that is gone hears nothing, and nothing breaks.
  std::weak_ptr<RecordingListener> weak = listener;
  listener.reset();
  EXPECT_FALSE(weak.lock());
  hub->onDevicePlugged();
  hub->onGetKsnCompleted(ksn);
  EXPECT_EQ(user.psamId(), ksn);
}

TEST_F(StartupTest, SimulatedAudioReaderReachesTheScreenThroughHubAndDelegate) {
  platform::UserDefaults::standard().set("common_unitid", "0002");
  launchAndStart();
  auto listener = std::make_shared<RecordingListener>(delegate);
  delegate->setSwiperListener(listener);
  ASSERT_EQ(delegate->swiper()->defaultUnitid(), "0002");

  auto reader = std::make_shared<standin::SimulatedReader0002>();
  platform::media::Jack::shared().plug(reader);
  auto& loop = platform::RunLoop::main();
  ASSERT_TRUE(loop.runUntil([&] { return listener->has("onDevicePlugged"); }, platform::secs(2)));

  delegate->swiper()->getCSwiperKsn();
  ASSERT_TRUE(loop.runUntil([&] { return listener->has("onGetKsnCompleted") || listener->has("onError"); },
                            platform::secs(60)));
  ASSERT_TRUE(listener->has("onGetKsnCompleted"));
  EXPECT_EQ(User::currentUser().psamId(), "CBC3201306010042");
  EXPECT_EQ(delegate->ksnState(), 4);

  platform::media::Jack::shared().unplug();
  ASSERT_TRUE(loop.runUntil([&] { return listener->has("onDeviceUnplugged"); }, platform::secs(2)));
  EXPECT_EQ(User::currentUser().psamId(), "");
  EXPECT_EQ(delegate->ksnState(), 0);
}

}  // namespace
}  // namespace nvx
