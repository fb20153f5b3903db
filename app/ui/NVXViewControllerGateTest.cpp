// The reader gate end to end: the client against the main-API stand-in on loopback, with the
// simulated Wi-Fi box, a simulated audio reader of each family in the headset jack, or a scripted driver.
#include <gtest/gtest.h>

#include <chrono>

#include "core/shell/ScreenRegistry.h"
#include "core/session/User.h"
#include "app/ui/IdentityInfoScreen.h"
#include "app/ui/NVXBaseViewController.h"
#include "app/ui/NVXViewController.h"
#include "app/ui/testing/TestScreenServices.h"
#include "net/ServerConfig.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/AudioSession.h"
#include "platform/media/Jack.h"
#include "platform/net/HttpRequest.h"
#include "platform/net/NetConfig.h"
#include "platform/testing/Settle.h"
#include "platform/ui/Inspector.h"
#include "reader/SwiperDriverFactory.h"
#include "reader/SwiperInvalidScreen.h"
#include "reader/ReaderModels.h"
#include "reader/wifi/WexTestHarness.h"
#include "standin/MainApiStandin.h"
#include "standin/SimulatedReader0001.h"
#include "standin/SimulatedReader0002.h"
#include "standin/SimulatedReader0003.h"
#include "standin/SimulatedReader0008.h"
#include "standin/SimulatedWifiBox.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::ui::AlertView;
using platform::ui::Hud;
using platform::ui::Inspector;
using standin::MainApiStandin;
using testing::NamedTestScreen;
using testing::TestLoginScreen;
using testing::TestScreenServices;

constexpr const char* kLoginName = "13800000000";
constexpr const char* kUserToken = "token-1";
// The simulated box's serial number as the phone reads it.
constexpr const char* kBoxKsn = "123456789ABCDEF0";
constexpr const char* kOtherUser = "13900000000";

// A card-paid screen asking the gate; its answers are kept apart from it, so that they can be
// read after it has gone.
class PayScreen : public NVXBaseViewController {
 public:
  explicit PayScreen(std::string name = "PayScreen") : name_(std::move(name)) {}
  std::string className() const override { return name_; }
  void ask() {
    swiperValid([answers = answers](bool ready) { answers->push_back(ready); });
  }
  // The chooser resumes the interrupted step here.
  void theNextStep() override { ask(); }

  std::shared_ptr<std::vector<bool>> answers = std::make_shared<std::vector<bool>>();

 private:
  std::string name_;
};

class IdentityScreen : public NamedTestScreen, public IdentityInfoScreen {
 public:
  IdentityScreen() : NamedTestScreen(kClassName) {}
  void setPhoneNum(std::string p) override { phoneNum = std::move(p); }
  void setType(int t) override { type = t; }
  std::string phoneNum;
  int type = 0;
};

class ChooserScreen : public NamedTestScreen, public reader::SwiperInvalidScreen {
 public:
  ChooserScreen() : NamedTestScreen(kClassName) {}
  void setNextStepTarget(std::weak_ptr<platform::ui::ViewController> t) override { target = std::move(t); }
  void setUnitArray(std::vector<Unit> u) override { units = std::move(u); }
  void setTaviPresent(bool) override {}
  std::weak_ptr<platform::ui::ViewController> target;
  std::vector<Unit> units;
};

// A reader driver under the test's hand: it records what the hub asks and raises the events the
// test chooses.
class ScriptedDriver : public reader::CTSwiperController {
 public:
  void startCSwiper() override { calls.push_back("startCSwiper"); }
  void stopCSwiper() override {}
  void deleteCSwiper() override {}
  void getCSwiperKsn() override { calls.push_back("getCSwiperKsn"); }
  int32_t getCSwiperState() const override { return 0; }
  bool isDevicePresent() const override { return true; }
  void raise(const std::function<void(reader::CSwiperControllerDelegate&)>& event) {
    if (auto receiver = delegate_.lock()) event(*receiver);
  }
  std::vector<std::string> calls;
};

class ReaderGateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& net = platform::net::NetConfig::current();
    net.useLoopbackNetwork();
    // The box takes its ports and holds them for the test; the phone's sockets, made after, use them.
    box = std::make_unique<standin::SimulatedWifiBox>(standin::SimulatedWifiBox::onFreePorts());
    ASSERT_TRUE(box->bindPorts().isOk());

    auto settings = MainApiStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    server = std::make_unique<MainApiStandin>(settings.value());
    ASSERT_TRUE(server->start().isOk());
    ServerConfig::current().setMainApiBase(server->apiBaseAddress());
    server->addSession(kLoginName, kUserToken);

    services = std::make_shared<TestScreenServices>();
    AppServices::install(services);
    auto& registry = ScreenRegistry::shared();
    registry.add(LoginScreen::kClassName, [] { return std::make_shared<TestLoginScreen>(); });
    registry.add(IdentityInfoScreen::kClassName, [] { return std::make_shared<IdentityScreen>(); });
    registry.add("BuyNuvexaViewController", [] { return std::make_shared<NamedTestScreen>("BuyNuvexaViewController"); });
    registry.add(reader::SwiperInvalidScreen::kClassName, [] { return std::make_shared<ChooserScreen>(); });

    User& user = User::currentUser();
    user.setLoginName(kLoginName);
    user.setUserToken(kUserToken);
  }

  void TearDown() override {
    if (box) box->stop();
    if (server) server->stop();
    services->hub.reset();
    AppServices::install(nullptr);
  }

  // Socket traffic and replies in real time between steps of virtual time, timer by timer, until
  // pred holds or virtualSeconds have passed; each step waits for every reply the server does not
  // hold.
  bool pump(const std::function<bool()>& pred, double virtualSeconds = 30.0) {
    return reader::testing::pumpUntil(pred, virtualSeconds, [&] {
      return platform::net::HttpRequest::unsettledStarts() <= server->http().heldCount();
    });
  }
  // Lets each reply the server holds go as soon as it is held, until pred holds (real time).
  bool releaseHeldRepliesUntil(const std::function<bool()>& pred) {
    return RunLoop::main().drainIoUntil(
        [&] {
          if (server->http().heldCount() > 0) server->http().releaseHeld();
          return pred();
        },
        std::chrono::seconds(10));
  }

  // The box on the network, and the hub (made at start-up) seeing it.
  void startBox() {
    ASSERT_TRUE(box->start().isOk());
    if (!services->hub) services->makeHub();
    ASSERT_TRUE(pump([&] { return services->hub->isTaviPresent(); }, 10.0));
  }
  // An audio reader of the scripted kind in the headset socket.
  std::shared_ptr<ScriptedDriver> plugScriptedAudioReader() {
    auto driver = std::make_shared<ScriptedDriver>();
    reader::SwiperDriverFactory::shared().add("0002", [driver] { return driver; });
    platform::UserDefaults::standard().set(reader::ReaderModels::kCommonUnitIdKey, "0002");
    platform::media::AudioSession::sharedInstance().simulateRouteChange("HeadsetInOut");
    services->makeHub();
    return driver;
  }

  std::shared_ptr<PayScreen> pushScreen(std::string name = "PayScreen") {
    auto screen = std::make_shared<PayScreen>(std::move(name));
    services->navigation->push(screen, false);
    return screen;
  }

  size_t calls(std::string_view method) const {
    size_t n = 0;
    for (const auto& v : server->verdicts()) n += v.method == method;
    return n;
  }
  // Whether the last request the server received went to that address.
  bool lastPathEndsWith(std::string_view tail) const {
    auto last = server->http().lastRequest();
    return last && last->path.ends_with(tail);
  }
  std::vector<std::shared_ptr<Hud>> overlays() const { return Hud::on(*services->mainWindow); }
  std::optional<std::string> spinnerLabel() const {
    for (const auto& hud : overlays()) {
      if (hud->mode() == Hud::Mode::Spinner && !hud->label().empty()) return hud->label();
    }
    return std::nullopt;
  }
  std::optional<std::string> promptShown() const {
    for (const auto& hud : overlays()) {
      if (hud->mode() == Hud::Mode::Text) return hud->label();
    }
    return std::nullopt;
  }

  // The server is slow to answer while a lot of virtual time passes: the main loop keeps running,
  // so the box's heartbeats keep coming and its watchdog keeps seeing it, under the spinner; the
  // reader repeating its number meanwhile starts nothing new. Then the reply comes (in real time)
  // and the pass goes on to YES on the main thread.
  void expectTheMainLoopRunsUntilTheReply(PayScreen& screen) {
    const int heartbeats = box->heartbeatsSent();
    EXPECT_FALSE(pump([&] { return !screen.answers->empty(); }, 12.0));
    EXPECT_GE(box->heartbeatsSent(), heartbeats + 10);
    EXPECT_TRUE(services->hub->isTaviPresent());
    EXPECT_EQ(spinnerLabel(), std::string("身份识别中..."));
    EXPECT_TRUE(screen.isGatePending());
    services->hub->onGetKsnCompleted(kBoxKsn);

    ASSERT_TRUE(releaseHeldRepliesUntil([&] { return !screen.answers->empty(); }));
    RunLoop::main().advance(1);
    EXPECT_EQ(*screen.answers, std::vector<bool>{true});
    EXPECT_TRUE(overlays().empty());
  }

  // What an alert shows: its tag, title, message (not checked when nothing) and buttons in order.
  struct Shown {
    int tag = 0;
    std::string title;
    std::optional<std::string> message;
    std::vector<std::string> buttons;
  };
  static void expectShows(const std::shared_ptr<AlertView>& alert, const Shown& shown) {
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), shown.tag);
    EXPECT_EQ(alert->title(), shown.title);
    if (shown.message) {
      EXPECT_EQ(alert->message(), *shown.message);
    }
    ASSERT_EQ(alert->numberOfButtons(), static_cast<int>(shown.buttons.size()));
    for (size_t i = 0; i < shown.buttons.size(); ++i) {
      EXPECT_EQ(alert->buttonTitleAtIndex(static_cast<int>(i)), shown.buttons[i]);
    }
  }

  // Whether a statistics record of the code ends with the text.
  static bool hasRecord(std::string_view code, std::string_view text) {
    const std::string records =
        platform::fs::read(platform::Sandbox::caches() / "DataStatisticsFileTemp.txt").value_or("");
    size_t at = 0;
    while (at < records.size()) {
      size_t end = records.find('\n', at);
      if (end == std::string::npos) end = records.size();
      std::string_view line(records.data() + at, end - at);
      if (line.starts_with(std::string(code) + ",") && line.ends_with(text)) return true;
      at = end + 1;
    }
    return false;
  }

  std::unique_ptr<MainApiStandin> server;
  std::unique_ptr<standin::SimulatedWifiBox> box;
  std::shared_ptr<TestScreenServices> services;
};

// --- with the Wi-Fi box ---------------------------------------------------------------------------

TEST_F(ReaderGateTest, ABoundReaderIsIdentifiedCheckedAndSignedInThenAnsweredYesOnce) {
  server->bindReader(kBoxKsn, kLoginName);
  startBox();
  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] { return !screen->answers->empty(); }));
  RunLoop::main().advance(1);

  EXPECT_EQ(*screen->answers, std::vector<bool>{true});
  EXPECT_TRUE(services->hub->isTaviSwiper());
  EXPECT_EQ(services->hub->nextStepTarget().lock(), screen);
  User& user = User::currentUser();
  EXPECT_EQ(user.psamId(), kBoxKsn);
  ASSERT_TRUE(user.psamPIK());
  EXPECT_EQ(user.psamPIK()->terminalId, kBoxKsn);
  ASSERT_TRUE(user.currentMac());
  EXPECT_EQ(calls("checkUserDeviceInfo"), 1u);
  EXPECT_EQ(calls("login"), 1u);
  EXPECT_EQ(calls("checkin"), 1u);
  EXPECT_EQ(server->lastVerdict("checkUserDeviceInfo")->retCode, "0000");
  EXPECT_TRUE(overlays().empty());
  EXPECT_FALSE(screen->isGatePending());
  // The statistics heard of a reader with a serial number (never the number itself).
  EXPECT_TRUE(hasRecord("0006", ",IOS00,0"));

  // The reader's KSN and keys are loaded: the next pass answers at once, without a request.
  const size_t requests = server->verdicts().size();
  screen->ask();
  ASSERT_TRUE(pump([&] { return screen->answers->size() == 2; }, 2.0));
  EXPECT_EQ(*screen->answers, (std::vector<bool>{true, true}));
  EXPECT_EQ(server->verdicts().size(), requests);
  RunLoop::main().advance(1);
  EXPECT_TRUE(overlays().empty());
}

TEST_F(ReaderGateTest, TheOwnershipCheckLeavesTheMainLoopRunningBehindTheIdentifyingSpinner) {
  server->bindReader(kBoxKsn, kLoginName);
  // The server takes a while over the check; meanwhile a lot of virtual time passes.
  server->script("checkUserDeviceInfo", MainApiStandin::Scripted::heldReply(), 1);
  startBox();
  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] { return lastPathEndsWith("/checkUserDeviceInfo.json"); }));
  expectTheMainLoopRunsUntilTheReply(*screen);
  EXPECT_EQ(calls("login"), 1u);
}

TEST_F(ReaderGateTest, TheTerminalSignInLeavesTheMainLoopRunningBehindTheIdentifyingSpinner) {
  server->bindReader(kBoxKsn, kLoginName);
  // The check answers at once; both sign-in replies take a while.
  server->script("login", MainApiStandin::Scripted::heldReply(), 1);
  server->script("checkin", MainApiStandin::Scripted::heldReply(), 1);
  startBox();
  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] { return lastPathEndsWith("/login.json"); }));
  expectTheMainLoopRunsUntilTheReply(*screen);
  EXPECT_EQ(calls("checkUserDeviceInfo"), 1u);
  EXPECT_EQ(calls("login"), 1u);
  EXPECT_EQ(calls("checkin"), 1u);
  ASSERT_TRUE(User::currentUser().psamPIK());
}

TEST_F(ReaderGateTest, ANewReaderGivesTheBindingAlertWithTheLoginNameAndForgetsTheKsn) {
  startBox();  // the reader belongs to nobody yet
  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] { return !screen->answers->empty(); }));
  RunLoop::main().advance(1);
  EXPECT_EQ(*screen->answers, std::vector<bool>{false});
  ASSERT_NO_FATAL_FAILURE(expectShows(
      AlertView::top(), {1111102, "", "发现新刷卡器，此刷卡器即将与用户 13800000000 绑定，下次使用此刷卡器时请用该用户名登录",
                         {"放弃", "继续"}}));
  EXPECT_EQ(User::currentUser().psamId(), "");
  EXPECT_EQ(calls("login"), 0u);
  EXPECT_TRUE(overlays().empty());

  // Going on opens the identity screen that binds the reader.
  ASSERT_TRUE(Inspector().answerAlert("继续").isOk());
  auto identity = std::dynamic_pointer_cast<IdentityScreen>(services->navigation->topViewController());
  ASSERT_TRUE(identity);
  EXPECT_EQ(identity->phoneNum, kLoginName);
  EXPECT_EQ(identity->type, 1);
  EXPECT_TRUE(services->navigation->lastTransitionAnimated());

  // The next pass reads the KSN again.
  RunLoop::main().advance(1);
  services->navigation->pop(false);
  const size_t checks = calls("checkUserDeviceInfo");
  screen->ask();
  ASSERT_TRUE(pump([&] { return screen->answers->size() == 2; }));
  EXPECT_EQ(calls("checkUserDeviceInfo"), checks + 1);
}

TEST_F(ReaderGateTest, AReaderOfAnotherUserGivesTheReloginAlertOrWhileCalledTheConfirmation) {
  server->bindReader(kBoxKsn, kOtherUser);
  startBox();
  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] { return !screen->answers->empty(); }));
  EXPECT_EQ(*screen->answers, std::vector<bool>{false});
  ASSERT_NO_FATAL_FAILURE(expectShows(AlertView::top(), {1111103, "刷卡器绑定冲突", std::nullopt, {"取消", "重新登录"}}));
  EXPECT_EQ(User::currentUser().psamId(), "");
  ASSERT_TRUE(Inspector().answerAlert("重新登录").isOk());
  EXPECT_TRUE(std::dynamic_pointer_cast<TestLoginScreen>(services->navigation->topViewController()));
  RunLoop::main().advance(1);
  services->navigation->popToRoot(false);

  // While another app calls the client: the plain confirmation, and the answer stays open.
  services->otherAppLaunching = true;
  auto called = pushScreen();
  called->ask();
  ASSERT_TRUE(pump([&] { return AlertView::top() != nullptr; }));
  ASSERT_NO_FATAL_FAILURE(
      expectShows(AlertView::top(), {0, "刷卡器绑定冲突", "刷卡器与手机银行绑定用户冲突，请插入对应的刷卡器！", {"确定"}}));
  EXPECT_TRUE(called->answers->empty());
  EXPECT_TRUE(called->isGatePending());
  EXPECT_EQ(User::currentUser().psamId(), kBoxKsn);
}

TEST_F(ReaderGateTest, CheckRepliesThatAreNeitherYesNorABindingVerdictArePromptedAndLeaveThePassOpen) {
  struct Case {
    const char* name;
    MainApiStandin::Scripted reply;
    std::string prompt;
  };
  const Case cases[] = {
      {"server error", MainApiStandin::Scripted::error("9001", "系统繁忙"), "系统繁忙"},
      {"server error without a message", MainApiStandin::Scripted::rawBody(R"({"retStatus":{"retCode":"9001"}})"),
       "未知错误，请稍后重试"},
      {"unusable reader with a message", MainApiStandin::Scripted::success(Json{{"state", "3"}, {"msg", "刷卡器已停用"}}),
       "刷卡器已停用"},
      {"unusable reader", MainApiStandin::Scripted::success(Json{{"state", "3"}}),
       "刷卡器不可用，请重试。如有疑问，请致电400-000-0000。"},
      {"connection dropped", MainApiStandin::Scripted::dropConnection(), "网络连接失败"},
  };
  startBox();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server->script("checkUserDeviceInfo", c.reply, 1);
    auto screen = pushScreen();
    screen->ask();
    ASSERT_TRUE(pump([&] { return promptShown().has_value(); }));
    EXPECT_EQ(promptShown(), c.prompt);
    EXPECT_TRUE(screen->answers->empty());
    EXPECT_TRUE(screen->isGatePending());
    EXPECT_EQ(spinnerLabel(), std::nullopt);
    EXPECT_EQ(calls("login"), 0u);
    RunLoop::main().advance(3);
    services->navigation->popToRoot(false);
  }
}

TEST_F(ReaderGateTest, AFailedSignInIsPromptedAndAnsweredNo) {
  server->bindReader(kBoxKsn, kLoginName);
  server->script("checkin", MainApiStandin::Scripted::error("2004", "签到失败"), 1);
  startBox();
  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] { return !screen->answers->empty(); }));
  EXPECT_EQ(*screen->answers, std::vector<bool>{false});
  EXPECT_EQ(promptShown(), "签到失败");
  EXPECT_FALSE(User::currentUser().psamPIK());
  EXPECT_EQ(spinnerLabel(), std::nullopt);
}

TEST_F(ReaderGateTest, OnTheIdentityScreenAReadKsnSucceedsWithoutTheOwnershipCheck) {
  startBox();
  auto screen = pushScreen(IdentityInfoScreen::kClassName);
  screen->ask();
  ASSERT_TRUE(pump([&] { return !screen->answers->empty(); }));
  EXPECT_EQ(*screen->answers, std::vector<bool>{true});
  EXPECT_EQ(User::currentUser().psamId(), kBoxKsn);
  EXPECT_EQ(calls("checkUserDeviceInfo"), 0u);
  EXPECT_EQ(calls("login"), 0u);
}

TEST_F(ReaderGateTest, WithBothReadersTheFirstPassOpensTheChooserAndTheNextGoesOn) {
  server->bindReader(kBoxKsn, kLoginName);
  startBox();
  platform::media::AudioSession::sharedInstance().simulateRouteChange("HeadsetInOut");
  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] {
    return std::dynamic_pointer_cast<ChooserScreen>(services->navigation->topViewController()) != nullptr;
  }));
  EXPECT_EQ(*screen->answers, std::vector<bool>{false});
  auto chooser = std::dynamic_pointer_cast<ChooserScreen>(services->navigation->topViewController());
  EXPECT_EQ(chooser->target.lock(), screen);
  EXPECT_TRUE(services->hub->isBothTaviPicking());
  EXPECT_EQ(spinnerLabel(), std::nullopt);

  // The user picks the box; the chooser goes and resumes the screen's step: a new pass that
  // goes on to the reader.
  services->hub->initSwiperSDkWithUnitId(std::string(reader::ReaderModels::kTaviUnitId));
  RunLoop::main().advance(1);
  services->navigation->pop(false);
  screen->theNextStep();
  ASSERT_TRUE(pump([&] { return screen->answers->size() == 2; }));
  EXPECT_EQ(*screen->answers, (std::vector<bool>{false, true}));
  EXPECT_FALSE(services->hub->isBothTaviPicking());
}

TEST_F(ReaderGateTest, WithoutAReaderTheNoReaderAlertAnswersNoAndAReaderComingDismissesIt) {
  services->makeHub();
  services->syt = true;
  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] { return !screen->answers->empty(); }));
  EXPECT_EQ(*screen->answers, std::vector<bool>{false});
  auto alert = AlertView::top();
  ASSERT_NO_FATAL_FAILURE(
      expectShows(alert, {1111101, "未检测到刷卡器", "请将手机刷卡器插入耳机孔，或点击“现在购买”", {"取消", "现在购买"}}));
  EXPECT_TRUE(overlays().empty());
  EXPECT_EQ(screen->unplugedAlert(), alert);

  // A reader comes: the alert goes without sending the calling app back.
  services->onDevicePlugged();
  EXPECT_FALSE(alert->isVisible());
  EXPECT_TRUE(services->redirects.empty());

  // The same alert again; "现在购买" opens the shop, "取消" while called returns to the caller.
  screen->ask();
  ASSERT_TRUE(pump([&] { return screen->answers->size() == 2; }));
  EXPECT_EQ(AlertView::top(), alert);
  ASSERT_TRUE(Inspector().answerAlert("现在购买").isOk());
  EXPECT_EQ(services->navigation->topViewController()->className(), "BuyNuvexaViewController");
  EXPECT_TRUE(services->redirects.empty());
  RunLoop::main().advance(1);
  services->navigation->pop(false);
  screen->ask();
  ASSERT_TRUE(pump([&] { return screen->answers->size() == 3; }));
  ASSERT_TRUE(Inspector().answerAlert("取消").isOk());
  EXPECT_EQ(services->redirects, std::vector<bool>{false});
}

// --- with a scripted audio reader ----------------------------------------------------------------

TEST_F(ReaderGateTest, UnplugDuringTheKsnReadAnswersNoOnceAndALaterTimeOutNothing) {
  auto driver = plugScriptedAudioReader();
  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] { return !driver->calls.empty(); }, 2.0));
  EXPECT_EQ(driver->calls, std::vector<std::string>{"getCSwiperKsn"});
  EXPECT_EQ(spinnerLabel(), std::string("正在识别设备"));
  EXPECT_EQ(services->hub->ksnState(), 0);

  driver->raise([](auto& hub) { hub.onDeviceUnplugged(); });
  EXPECT_EQ(*screen->answers, std::vector<bool>{false});
  EXPECT_TRUE(overlays().empty());
  driver->raise([](auto& hub) { hub.onTimeout(); });
  driver->raise([](auto& hub) { hub.onGetKsnCompleted("ABCDEF0123456789"); });
  RunLoop::main().advance(1);
  EXPECT_EQ(*screen->answers, std::vector<bool>{false});
  EXPECT_EQ(calls("checkUserDeviceInfo"), 0u);
}

TEST_F(ReaderGateTest, ReaderEventsAnswerAsTheBaseScreenDoes) {
  struct Case {
    const char* name;
    std::function<void(reader::CSwiperControllerDelegate&)> event;
    std::vector<bool> answers;
    bool readerOverlayGone;
  };
  const Case cases[] = {
      {"time-out", [](auto& d) { d.onTimeout(); }, {false}, true},
      {"interrupted", [](auto& d) { d.onInterrupted(); }, {false}, false},
      {"no device", [](auto& d) { d.onNoDeviceDetected(); }, {false}, false},
      {"waiting for a swipe", [](auto& d) { d.onWaitingForCardSwipe(); }, {}, true},
      {"decode error", [](auto& d) { d.onDecodeError(2); }, {}, true},
      {"waiting for the device", [](auto& d) { d.onWaitingForDevice(); }, {}, true},
      {"swipe detected", [](auto& d) { d.onCardSwipeDetected(); }, {}, false},
  };
  auto driver = plugScriptedAudioReader();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto screen = pushScreen();
    screen->ask();
    ASSERT_TRUE(pump([&] { return spinnerLabel() == std::string("正在识别设备"); }, 2.0));
    auto readerOverlay = screen->readerHUD();
    driver->raise(c.event);
    EXPECT_EQ(*screen->answers, c.answers);
    EXPECT_EQ(!readerOverlay->isShown(), c.readerOverlayGone);
    if (std::string(c.name) == "waiting for the device") {
      EXPECT_EQ(readerOverlay->label(), "设备查找失败");
    }
    RunLoop::main().advance(3);
    services->navigation->popToRoot(false);
    RunLoop::main().advance(1);
  }
}

TEST_F(ReaderGateTest, AnUnreadableSerialNumberForgetsTheReaderAndOpensTheModelList) {
  auto driver = plugScriptedAudioReader();
  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] { return spinnerLabel() == std::string("正在识别设备"); }, 2.0));
  User::currentUser().setPsamId("ABCDEF0123456789");
  driver->raise([](auto& hub) { hub.onError(-3, "no serial number"); });
  EXPECT_EQ(*screen->answers, std::vector<bool>{false});
  EXPECT_EQ(User::currentUser().psamId(), "");
  EXPECT_EQ(spinnerLabel(), std::nullopt);
  ASSERT_TRUE(pump([&] {
    return std::dynamic_pointer_cast<ChooserScreen>(services->navigation->topViewController()) != nullptr;
  }));
  // The statistics heard of a reader without a serial number.
  EXPECT_TRUE(hasRecord("0006", ",IOS00,1"));
}

TEST_F(ReaderGateTest, ALoggedOutUserLogsInFirstAndThePassGoesOn) {
  User::currentUser().outOfLogin();
  auto driver = plugScriptedAudioReader();
  auto screen = pushScreen();
  screen->ask();
  EXPECT_EQ(promptShown(), "您已经登出，请重新登录！");
  auto login = std::dynamic_pointer_cast<TestLoginScreen>(services->navigation->topViewController());
  ASSERT_TRUE(login);
  EXPECT_TRUE(driver->calls.empty());
  RunLoop::main().advance(1);

  login->logIn(kLoginName, kUserToken);
  RunLoop::main().advance(1);
  EXPECT_EQ(services->navigation->topViewController(), screen);
  ASSERT_TRUE(pump([&] { return !driver->calls.empty(); }, 2.0));
  EXPECT_EQ(driver->calls, std::vector<std::string>{"getCSwiperKsn"});
  EXPECT_TRUE(screen->answers->empty());
}

TEST_F(ReaderGateTest, ARefusedMicrophoneAnswersNoWithTheAlertEveryTime) {
  auto& session = platform::media::AudioSession::sharedInstance();
  session.setCanRequestRecordPermission(true);
  session.setRecordPermissionAnswer(false);
  auto driver = plugScriptedAudioReader();
  auto screen = pushScreen();
  for (size_t pass = 1; pass <= 2; ++pass) {
    screen->ask();
    ASSERT_TRUE(pump([&] { return screen->answers->size() == pass; }, 5.0));
    ASSERT_NO_FATAL_FAILURE(expectShows(
        AlertView::top(),
        {0, "无法使用麦克风", "请在iPhone的“设置-隐私-麦克风“选项中，允许诺维萨访问您的手机麦克风", {"好"}}));
    ASSERT_TRUE(Inspector().answerAlert("好").isOk());
  }
  EXPECT_EQ(*screen->answers, (std::vector<bool>{false, false}));
  EXPECT_TRUE(driver->calls.empty());
}

TEST_F(ReaderGateTest, AnUnplugOrAPoppedScreenWhileTheServerIsAskedEndsThePassAndLateRepliesChangeNothing) {
  struct Case {
    const char* name;
    const char* slowMethod;  // the request in flight when the pass ends
    bool popped;             // the screen leaves (otherwise the reader is unplugged)
  };
  const Case cases[] = {
      {"unplugged during the ownership check", "checkUserDeviceInfo", false},
      {"popped during the ownership check", "checkUserDeviceInfo", true},
      {"unplugged during the terminal sign-in", "login", false},
      {"popped during the terminal sign-in", "login", true},
  };
  const std::string ksn = "ABCDEF0123456789";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    User::currentUser().setPsamId("");
    server->clearScripts();
    server->bindReader(ksn, kLoginName);
    server->script(c.slowMethod, MainApiStandin::Scripted::heldReply(), 1);
    auto driver = plugScriptedAudioReader();
    std::shared_ptr<std::vector<bool>> answers;
    std::weak_ptr<PayScreen> weak;
    {
      auto screen = pushScreen();
      answers = screen->answers;
      weak = screen;
      screen->ask();
      ASSERT_TRUE(pump([&] { return !driver->calls.empty(); }, 2.0));
      driver->raise([&](auto& hub) { hub.onGetKsnCompleted(ksn); });
      ASSERT_TRUE(RunLoop::main().drainIoUntil(
          [&] { return lastPathEndsWith("/" + std::string(c.slowMethod) + ".json"); }, std::chrono::seconds(5)));
      EXPECT_EQ(spinnerLabel(), std::string("身份识别中..."));
      if (c.popped) {
        services->navigation->pop(false);
      } else {
        driver->raise([](auto& hub) { hub.onDeviceUnplugged(); });
      }
    }
    const std::vector<bool> expected = c.popped ? std::vector<bool>{} : std::vector<bool>{false};
    RunLoop::main().advance(1);
    EXPECT_EQ(*answers, expected);
    EXPECT_TRUE(overlays().empty());
    EXPECT_EQ(weak.expired(), c.popped);

    // Whatever the server says afterwards changes nothing: no alert, prompt, keys or next step.
    ASSERT_TRUE(releaseHeldRepliesUntil([&] { return server->http().heldCount() == 0; }));
    ASSERT_TRUE(platform::testing::settleIo());
    RunLoop::main().advance(1);
    EXPECT_EQ(*answers, expected);
    EXPECT_EQ(AlertView::top(), nullptr);
    EXPECT_EQ(promptShown(), std::nullopt);
    EXPECT_FALSE(User::currentUser().psamTPK());
    EXPECT_FALSE(User::currentUser().psamPIK());
    EXPECT_EQ(calls("checkin"), 0u);
    if (std::string_view(c.slowMethod) == "checkUserDeviceInfo") {
      EXPECT_EQ(calls("login"), 0u);
    }
    // The reader's later events reach no released screen.
    driver->raise([](auto& hub) { hub.onTimeout(); });
    EXPECT_EQ(*answers, expected);
    services->navigation->popToRoot(false);
    RunLoop::main().advance(1);
  }
}

// --- with a simulated audio reader of each family in the headset jack -----------------------------

struct AudioReaderCase {
  const char* model;
  const char* ksn;
  std::shared_ptr<platform::media::Peer> (*make)();
  double patience;  // seconds of virtual time the family's link may take to answer
};

class AudioReaderGateTest : public ReaderGateTest, public ::testing::WithParamInterface<AudioReaderCase> {};

TEST_P(AudioReaderGateTest, TheReaderIsReadCheckedAndSignedIn) {
  const auto& c = GetParam();
  auto reader = c.make();
  server->bindReader(c.ksn, kLoginName);
  platform::UserDefaults::standard().set(reader::ReaderModels::kCommonUnitIdKey, c.model);
  services->makeHub();
  platform::media::Jack::shared().plug(reader);
  ASSERT_TRUE(pump([&] { return services->hub->swiper() && services->hub->swiper()->isDevicePresent(); }, 5.0));

  auto screen = pushScreen();
  screen->ask();
  ASSERT_TRUE(pump([&] { return !screen->answers->empty(); }, c.patience));
  EXPECT_EQ(*screen->answers, std::vector<bool>{true});
  EXPECT_EQ(User::currentUser().psamId(), c.ksn);
  ASSERT_TRUE(User::currentUser().psamPIK());
  EXPECT_EQ(calls("checkUserDeviceInfo"), 1u);
  EXPECT_EQ(calls("checkin"), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Families, AudioReaderGateTest,
    ::testing::Values(
        AudioReaderCase{"0002", "CBC3201306010042",
                        []() -> std::shared_ptr<platform::media::Peer> { return std::make_shared<standin::SimulatedReader0002>(); },
                        90.0},
        AudioReaderCase{"0001", "2014060100001234",
                        []() -> std::shared_ptr<platform::media::Peer> { return std::make_shared<standin::SimulatedReader0001>(); },
                        30.0},
        AudioReaderCase{"0003", "6003201511000027",
                        []() -> std::shared_ptr<platform::media::Peer> { return std::make_shared<standin::SimulatedReader0003>(); },
                        30.0},
        AudioReaderCase{"0008", "8880201306010008",
                        []() -> std::shared_ptr<platform::media::Peer> { return std::make_shared<standin::SimulatedReader0008>(); },
                        30.0}),
    [](const auto& info) { return std::string("Model") + info.param.model; });

}  // namespace
}  // namespace nvx
