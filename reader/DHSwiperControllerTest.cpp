#include "reader/DHSwiperController.h"

#include <gtest/gtest.h>

#include "core/crypto/EncryptTool.h"
#include "core/shell/ScreenRegistry.h"
#include "core/session/User.h"
#include "net/testing/MainApiTestFixture.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/testing/HeldPorts.h"
#include "platform/testing/Testing.h"
#include "reader/NextStepTarget.h"
#include "reader/SwiperDriverFactory.h"
#include "reader/SwiperInvalidScreen.h"
#include "reader/UnitChooserModel.h"
#include "reader/testing/DriverEventRecorder.h"
#include "reader/wifi/WexSwiperController.h"
#include "reader/wifi/WexTestHarness.h"
#include "standin/SimulatedWifiBox.h"

namespace nvx::reader {
namespace {

using platform::Json;
using platform::UserDefaults;
using testing::DriverEventRecorder;
using Names = std::vector<std::string>;

// A driver of any family, written against the interface alone: it records the operations and
// raises whatever event the test asks for.
class TestDriver : public CTSwiperController {
 public:
  explicit TestDriver(std::string unitId) : unitId(std::move(unitId)) { swipeTimeout_ = 20.0; }
  ~TestDriver() override { *destroyed = true; }

  void startCSwiper() override { calls.push_back("startCSwiper"); }
  void stopCSwiper() override { calls.push_back("stopCSwiper"); }
  void deleteCSwiper() override { calls.push_back("deleteCSwiper"); }
  void getCSwiperKsn() override { calls.push_back("getCSwiperKsn"); }
  int32_t getCSwiperState() const override { return state; }
  bool isDevicePresent() const override { return false; }

  // Raises an event to the receiver, as a driver does from its own code: the driver must still
  // be alive when the receiver returns.
  void raise(const std::function<void(CSwiperControllerDelegate&)>& event) {
    auto gone = destroyed;  // read after the call without touching this
    if (auto receiver = delegate_.lock()) event(*receiver);
    EXPECT_FALSE(*gone) << "the driver was released while its event was being handled";
  }

  std::string unitId;
  int32_t state = 0;
  std::vector<std::string> calls;
  std::shared_ptr<bool> destroyed = std::make_shared<bool>(false);
};

// The chooser as the hub sees it: a screen holding the chooser's model.
class TestChooser : public platform::ui::ViewController, public SwiperInvalidScreen {
 public:
  std::string className() const override { return kClassName; }
  void setNextStepTarget(std::weak_ptr<platform::ui::ViewController> target) override {
    model.setNextStepTarget(std::move(target));
  }
  void setUnitArray(std::vector<Unit> units) override { model.setUnitArray(std::move(units)); }
  void setTaviPresent(bool present) override { model.setTaviPresent(present); }
  void onTaviConnected() override { model.onTaviConnected(); }
  void onTaviDisConnected() override { model.onTaviDisConnected(); }

  UnitChooserModel model;
};

class NamedScreen : public platform::ui::ViewController {
 public:
  explicit NamedScreen(std::string name) : name_(std::move(name)) {}
  std::string className() const override { return name_; }

 private:
  std::string name_;
};

// A business screen that carries on after the chooser's save.
class PayScreen : public NamedScreen, public NextStepTarget {
 public:
  PayScreen() : NamedScreen("PayScreen") {}
  void theNextStep() override { ++nextSteps; }
  int nextSteps = 0;
};

// A receiver that switches the reader model while it handles the unplug.
class SwitchingReceiver : public CSwiperControllerDelegate {
 public:
  std::weak_ptr<DHSwiperController> hub;
  std::string switchTo;
  void onDeviceUnplugged() override {
    if (auto h = hub.lock()) h->initSwiperSDkWithUnitId(switchTo);
  }
};

std::vector<Unit> unitsOf(std::initializer_list<const char*> ids) {
  std::vector<Unit> out;
  for (const char* id : ids) {
    Unit u;
    u.setUnitid(std::string(id));
    u.setUnitname(std::string("型号") + id);
    out.push_back(u);
  }
  return out;
}

std::optional<std::string> stored(std::string_view key) { return UserDefaults::standard().string(key); }

class DHSwiperControllerTest : public nvx::testing::MainApiTestFixture {
 protected:
  void SetUp() override {
    configureRun();
    services = std::make_shared<nvx::testing::AppWindowServices>();
    AppServices::install(services);
    ScreenRegistry::shared().add(SwiperInvalidScreen::kClassName, [] { return std::make_shared<TestChooser>(); });
    ScreenRegistry::shared().add("LoginViewController", [] { return std::make_shared<NamedScreen>("LoginViewController"); });
  }

  void TearDown() override {
    hub_.reset();
    MainApiTestFixture::TearDown();
  }

  // The loopback network on free ports (the box detector listens from the hub's creation), and
  // test drivers for the audio families: "0001" and "0002" new each time, the others shared.
  void configureRun() {
    readerPorts_.publish();

    created_.clear();
    auto& factory = SwiperDriverFactory::shared();
    for (const char* id : {"0001", "0002"}) {
      factory.add(id, [this, id] {
        auto d = std::make_shared<TestDriver>(id);
        created_.push_back(d);
        return d;
      });
    }
    auto nl = std::make_shared<TestDriver>("0003-0006");
    for (const char* id : {"0003", "0004", "0005", "0006"}) {
      factory.add(id, [this, nl] {
        created_.push_back(nl);
        return nl;
      });
    }
    auto ct = std::make_shared<TestDriver>("0008");
    factory.add("0008", [this, ct] {
      created_.push_back(ct);
      return ct;
    });
  }

  DHSwiperController& hub() {
    if (!hub_) {
      hub_ = DHSwiperController::create();
      hub_->setDelegate(receiver_);
    }
    return *hub_;
  }
  // The test driver in use (nullptr for none or the Wi-Fi driver).
  TestDriver* driver() { return dynamic_cast<TestDriver*>(hub().swiper().get()); }

  std::shared_ptr<TestChooser> shownChooser(platform::ui::NavigationController& nav) {
    return std::dynamic_pointer_cast<TestChooser>(nav.topViewController());
  }
  bool awaitChooser() {
    return await([&] { return shownChooser(*services->navigation) != nullptr; });
  }
  // The text prompt on the window, if any.
  std::optional<std::string> promptShown() {
    for (const auto& hud : platform::ui::Hud::on(*services->mainWindow)) {
      if (hud->mode() == platform::ui::Hud::Mode::Text) return hud->label();
    }
    return std::nullopt;
  }
  // What the stand-in was asked for the model list.
  size_t listRequests() {
    size_t n = 0;
    for (const auto& v : server->verdicts()) n += v.method == "getUnitListNew";
    return n;
  }

  std::shared_ptr<DHSwiperController> hub_;
  // The box's ports, held for the test (the box detector listens from the hub's creation).
  platform::net::testing::HeldReaderPorts readerPorts_;
  std::shared_ptr<DriverEventRecorder> receiver_ = std::make_shared<DriverEventRecorder>();
  // Every driver the factories handed out (the shared ones are kept by their factories).
  std::vector<std::weak_ptr<TestDriver>> created_;
};

// --- choosing the model -----------------------------------------------------------------------

TEST_F(DHSwiperControllerTest, EachModelGetsItsDriverAndTheChoiceIsStored) {
  struct Step {
    const char* unitId;
    const char* driver;  // the test driver now in use
    bool newObject;      // a driver object not in use before
    double swipeTimeout;
  } steps[] = {
      {"0001", "0001", true, 20.0},       {"0008", "0008", true, 30.0},       {"0002", "0002", true, 20.0},
      {"0004", "0003-0006", true, 30.0},  {"0005", "0003-0006", false, 30.0}, {"0001", "0001", true, 20.0},
      {"0002", "0002", true, 20.0},  // "0002" again after another model: a new driver
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.unitId);
    std::shared_ptr<CTSwiperController> before = hub().swiper();
    std::weak_ptr<TestDriver> previous = std::dynamic_pointer_cast<TestDriver>(before);
    bool previousIsOwn = before && (previous.lock()->unitId == "0001" || previous.lock()->unitId == "0002");
    before.reset();
    size_t made = created_.size();

    hub().initSwiperSDkWithUnitId(s.unitId);
    ASSERT_NE(driver(), nullptr);
    EXPECT_EQ(driver()->unitId, s.driver);
    EXPECT_EQ(created_.size(), made + 1);  // one driver asked for per model chosen
    EXPECT_EQ(previous.lock().get() != driver(), s.newObject);
    EXPECT_EQ(hub().defaultUnitid(), s.unitId);
    EXPECT_EQ(driver()->swipeTimeout(), s.swipeTimeout);
    EXPECT_EQ(driver()->delegate().lock().get(), static_cast<CSwiperControllerDelegate*>(&hub()));
    EXPECT_TRUE(driver()->detectDeviceChange());
    EXPECT_TRUE(hub().isSwiperDriverInitilazied());
    EXPECT_FALSE(hub().isTaviSwiper());
    EXPECT_TRUE(driver()->calls.empty());  // nothing started
    EXPECT_EQ(stored("unitid"), s.unitId);
    EXPECT_EQ(stored("common_unitid"), s.unitId);
    // A driver made for one choice is released at the next; the shared ones live on.
    if (previousIsOwn) {
      EXPECT_TRUE(previous.expired());
    }
  }
}

TEST_F(DHSwiperControllerTest, ChoosingTheModelInUseDoesNothing) {
  hub().initSwiperSDkWithUnitId("0002");
  auto first = hub().swiper();
  UserDefaults::standard().set("unitid", "marker");
  UserDefaults::standard().set("common_unitid", "marker");
  size_t made = created_.size();

  hub().initSwiperSDkWithUnitId("0002");
  EXPECT_EQ(hub().swiper(), first);
  EXPECT_EQ(created_.size(), made);
  EXPECT_EQ(stored("unitid"), "marker");
  EXPECT_EQ(stored("common_unitid"), "marker");
}

TEST_F(DHSwiperControllerTest, TheBoxIsStoredAsTheLastModelButNeverAsTheLastAudioReader) {
  hub().initSwiperSDkWithUnitId("0008");
  hub().initSwiperSDkWithUnitId("0007");
  auto wex = std::dynamic_pointer_cast<WexSwiperController>(hub().swiper());
  ASSERT_TRUE(wex);
  EXPECT_TRUE(hub().isTaviSwiper());
  EXPECT_EQ(wex->swipeTimeout(), 30.0);
  EXPECT_TRUE(wex->detectDeviceChange());
  EXPECT_EQ(stored("unitid"), "0007");
  EXPECT_EQ(stored("common_unitid"), "0008");

  // Another model: the box's driver is deleted, not just let go.
  hub().initSwiperSDkWithUnitId("0001");
  EXPECT_TRUE(wex->delegate().expired());
  EXPECT_NE(WexSwiperController::sharedInstance(), wex);
  EXPECT_FALSE(hub().isTaviSwiper());
  EXPECT_EQ(stored("unitid"), "0001");
  EXPECT_EQ(stored("common_unitid"), "0001");
}

TEST_F(DHSwiperControllerTest, NoModelForgetsBothDefaultsDropsOnlyTheBoxDriverAndAsksForTheList) {
  startServer();
  struct Case {
    const char* from;
    bool driverStays;
  } cases[] = {{"0007", false}, {"0008", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    hub_.reset();
    UserDefaults::standard().remove("unitid");
    UserDefaults::standard().remove("common_unitid");
    hub().initSwiperSDkWithUnitId("0005");
    hub().initSwiperSDkWithUnitId(c.from);
    auto before = hub().swiper();
    size_t asked = listRequests();

    hub().initSwiperSDkWithUnitId(std::nullopt);
    EXPECT_EQ(hub().defaultUnitid(), std::nullopt);
    EXPECT_FALSE(UserDefaults::standard().contains("unitid"));
    EXPECT_FALSE(UserDefaults::standard().contains("common_unitid"));
    EXPECT_EQ(hub().swiper() == before, c.driverStays);
    EXPECT_EQ(hub().isSwiperDriverInitilazied(), c.driverStays);
    ASSERT_TRUE(await([&] { return listRequests() == asked + 1; }));

    // No model again is not "the model in use": the list is asked for again.
    hub().initSwiperSDkWithUnitId(std::nullopt);
    ASSERT_TRUE(await([&] { return listRequests() == asked + 2; }));
  }
}

TEST_F(DHSwiperControllerTest, AnUnknownModelLeadsToTheFilteredListNeverToADriver) {
  startServer();
  server->setUnits(Json::parse(R"([{"unitid":"0001","unitname":"音频刷卡器"},{"unitid":"0010","unitname":"未知"},
                                   {"unitname":"无编号"},{"unitid":"0007","unitname":"无线刷卡盒"},
                                   {"unitid":"0004","unitname":"蓝牙"}])"));
  hub().initSwiperSDkWithUnitId("0008");
  auto audio = hub().swiper();
  hub().initSwiperSDkWithUnitId("0010");
  EXPECT_EQ(hub().swiper(), audio);  // not the box's driver: it stays
  ASSERT_TRUE(awaitChooser());

  Names ids;
  for (const auto& u : hub().unitList()) ids.push_back(u.unitid().value_or("<none>"));
  EXPECT_EQ(ids, (Names{"0001", "0007", "0004"}));
  EXPECT_TRUE(hub().isBothTaviPicking());
  auto chooser = shownChooser(*services->navigation);
  EXPECT_EQ(chooser->model.unitArray().size(), 3u);
  EXPECT_EQ(hub().taviListener().lock().get(), static_cast<TaviListener*>(chooser.get()));
}

TEST_F(DHSwiperControllerTest, AnAudioModelWhoseFamilyIsNotBuiltHasNoDriverAndFindsNoReader) {
  startServer();
  SwiperDriverFactory::shared().remove("0001");
  hub().initSwiperSDkWithUnitId("0008");
  hub().initSwiperSDkWithUnitId("0001");
  EXPECT_FALSE(hub().isSwiperDriverInitilazied());
  EXPECT_EQ(hub().getCSwiperState(), 0);
  EXPECT_EQ(stored("common_unitid"), "0001");

  // A start or a serial-number request answers "no reader", later, as a driver would.
  hub().getCSwiperKsn();
  hub().startCSwiper();
  EXPECT_TRUE(receiver_->events.empty());
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(receiver_->names(), (Names{"onNoDeviceDetected", "onNoDeviceDetected"}));
  EXPECT_EQ(listRequests(), 0u);  // a known model: no model list

  // Once a model with a driver is chosen, the hub drives it again.
  hub().initSwiperSDkWithUnitId("0008");
  receiver_->clear();
  hub().getCSwiperKsn();
  platform::RunLoop::main().runUntilIdle();
  EXPECT_TRUE(receiver_->events.empty());
  EXPECT_EQ(driver()->calls, Names{"getCSwiperKsn"});
}

TEST_F(DHSwiperControllerTest, TheLastAudioModelComesBackAfterARestartNeverTheBox) {
  hub().initSwiperSDkWithUnitId("0008");
  hub().initSwiperSDkWithUnitId("0007");
  hub_.reset();
  created_.clear();

  platform::testing::restart();
  configureRun();
  EXPECT_EQ(stored("unitid"), "0007");
  EXPECT_EQ(hub().defaultUnitid(), "0008");
  ASSERT_NE(driver(), nullptr);
  EXPECT_EQ(driver()->unitId, "0008");
  EXPECT_EQ(driver()->swipeTimeout(), 30.0);
  EXPECT_EQ(driver()->delegate().lock().get(), static_cast<CSwiperControllerDelegate*>(&hub()));

  // Only the box ever chosen: the hub starts without a model and asks for nothing.
  UserDefaults::standard().remove("common_unitid");
  ASSERT_TRUE(UserDefaults::standard().synchronize());
  hub_.reset();
  created_.clear();
  platform::testing::restart();
  configureRun();
  EXPECT_EQ(hub().defaultUnitid(), std::nullopt);
  EXPECT_FALSE(hub().isSwiperDriverInitilazied());
  EXPECT_TRUE(created_.empty());
}

// --- passing operations through -----------------------------------------------------------------

TEST_F(DHSwiperControllerTest, AStartReachesTheDriverOnlyWhileItIsIdle) {
  hub().initSwiperSDkWithUnitId("0002");
  driver()->state = 2;
  hub().startCSwiper();
  EXPECT_TRUE(driver()->calls.empty());
  EXPECT_EQ(hub().getCSwiperState(), 2);
  platform::RunLoop::main().runUntilIdle();
  EXPECT_TRUE(receiver_->events.empty());

  driver()->state = 0;
  hub().startCSwiper();
  hub().stopCSwiper();
  hub().getCSwiperKsn();
  hub().deleteCSwiper();
  hub().setDetectDeviceChange(false);
  EXPECT_EQ(driver()->calls, (Names{"startCSwiper", "stopCSwiper", "getCSwiperKsn", "deleteCSwiper"}));
  EXPECT_FALSE(driver()->detectDeviceChange());
}

TEST_F(DHSwiperControllerTest, WithoutADriverTheOperationsDoNothing) {
  hub().startCSwiper();
  hub().stopCSwiper();
  hub().getCSwiperKsn();
  hub().deleteCSwiper();
  hub().setDetectDeviceChange(true);
  EXPECT_EQ(hub().getCSwiperState(), 0);
  EXPECT_FALSE(hub().isSwiperDriverInitilazied());
  platform::RunLoop::main().runUntilIdle();
  EXPECT_TRUE(receiver_->events.empty());
}

// --- passing events on ------------------------------------------------------------------------------

TEST_F(DHSwiperControllerTest, EventsReachTheReceiverUnchangedExceptErrorsOtherThanKsn) {
  hub().initSwiperSDkWithUnitId("0002");
  using Event = std::function<void(CSwiperControllerDelegate&)>;
  struct Case {
    const char* name;
    Event event;
    Names expected;
  } cases[] = {
      {"plugged", [](auto& d) { d.onDevicePlugged(); }, {"onDevicePlugged"}},
      {"unplugged", [](auto& d) { d.onDeviceUnplugged(); }, {"onDeviceUnplugged"}},
      {"no device", [](auto& d) { d.onNoDeviceDetected(); }, {"onNoDeviceDetected"}},
      {"waiting device", [](auto& d) { d.onWaitingForDevice(); }, {"onWaitingForDevice"}},
      {"waiting swipe", [](auto& d) { d.onWaitingForCardSwipe(); }, {"onWaitingForCardSwipe"}},
      {"swipe", [](auto& d) { d.onCardSwipeDetected(); }, {"onCardSwipeDetected"}},
      {"decoding", [](auto& d) { d.onDecodingStart(); }, {"onDecodingStart"}},
      {"decode error", [](auto& d) { d.onDecodeError(2); }, {"onDecodeError"}},
      {"timeout", [](auto& d) { d.onTimeout(); }, {"onTimeout"}},
      {"interrupted", [](auto& d) { d.onInterrupted(); }, {"onInterrupted"}},
      {"ksn", [](auto& d) { d.onGetKsnCompleted("0123456789ABCDEF"); }, {"onGetKsnCompleted"}},
      {"link error", [](auto& d) { d.onError(kReaderErrorLink, "连接失败"); }, {}},
      {"busy", [](auto& d) { d.onError(kReaderErrorBusy, "设备状态为非空闲状态"); }, {}},
      {"ksn error", [](auto& d) { d.onError(kReaderErrorKsn, "读取KSN失败"); }, {"onError"}},
      {"second driver", [](auto& d) { d.onError(kReaderErrorSecondDriver, "x"); }, {}},
      {"audio path", [](auto& d) { d.onError(kReaderErrorAudioPath, "x"); }, {}},
      {"audio session", [](auto& d) { d.onError(kReaderErrorAudioSession, "x"); }, {}},
      {"family code", [](auto& d) { d.onError(-9, "x"); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    receiver_->clear();
    driver()->raise(c.event);
    EXPECT_EQ(receiver_->names(), c.expected);
  }
  receiver_->clear();
  driver()->raise([](auto& d) { d.onError(kReaderErrorKsn, "读取KSN失败"); });
  driver()->raise([](auto& d) { d.onDecodeError(2); });
  driver()->raise([](auto& d) { d.onGetKsnCompleted("0123456789ABCDEF"); });
  EXPECT_EQ(receiver_->events[0].value, kReaderErrorKsn);
  EXPECT_EQ(receiver_->events[0].text, "读取KSN失败");
  EXPECT_EQ(receiver_->events[1].value, 2);
  EXPECT_EQ(receiver_->events[2].text, "0123456789ABCDEF");

  testing::CardResult card{std::nullopt, "0123456789ABCDEF", "A1B2C3", 0, 37, 104, "0011223344556677",
                           "622202*********0123", "2612", std::nullopt};
  receiver_->clear();
  driver()->raise([&](auto& d) {
    d.onDecodeCompleted(card.formatID, card.ksn, card.encTracks, card.track1Length, card.track2Length,
                        card.track3Length, card.randomNumber, card.maskedPAN, card.expiryDate, card.cardHolderName);
  });
  ASSERT_EQ(receiver_->names(), Names{"onDecodeCompleted"});
  EXPECT_EQ(receiver_->events[0].card, card);
}

TEST_F(DHSwiperControllerTest, TheCheckoutHearsPlugAndSerialNumberOnceAndNothingElse) {
  hub().initSwiperSDkWithUnitId("0008");
  auto checkout = std::make_shared<DriverEventRecorder>();
  hub().setCheckoutDelegate(checkout);
  driver()->raise([](auto& d) { d.onDevicePlugged(); });
  driver()->raise([](auto& d) { d.onGetKsnCompleted("0123456789ABCDEF"); });
  driver()->raise([](auto& d) { d.onDeviceUnplugged(); });
  driver()->raise([](auto& d) { d.onTimeout(); });
  driver()->raise([](auto& d) { d.onError(kReaderErrorKsn, "x"); });
  EXPECT_EQ(checkout->names(), (Names{"onDevicePlugged", "onGetKsnCompleted"}));
  EXPECT_EQ(receiver_->names(),
            (Names{"onDevicePlugged", "onGetKsnCompleted", "onDeviceUnplugged", "onTimeout", "onError"}));

  // The receiver set as the checkout too hears each event once.
  receiver_->clear();
  hub().setCheckoutDelegate(receiver_);
  driver()->raise([](auto& d) { d.onDevicePlugged(); });
  driver()->raise([](auto& d) { d.onGetKsnCompleted("0123456789ABCDEF"); });
  EXPECT_EQ(receiver_->names(), (Names{"onDevicePlugged", "onGetKsnCompleted"}));

  // With no receiver, the checkout still hears its events.
  receiver_.reset();
  checkout->clear();
  hub().setCheckoutDelegate(checkout);
  driver()->raise([](auto& d) { d.onDevicePlugged(); });
  EXPECT_EQ(checkout->names(), Names{"onDevicePlugged"});
}

TEST_F(DHSwiperControllerTest, AnEmptySerialNumberOpensTheModelListInsteadOfReachingTheScreen) {
  startServer();
  auto screen = std::make_shared<PayScreen>();
  services->navigation->push(screen, false);
  hub().initSwiperSDkWithUnitId("0002");
  hub().setNextStepTarget(screen);
  auto checkout = std::make_shared<DriverEventRecorder>();
  hub().setCheckoutDelegate(checkout);

  driver()->raise([](auto& d) { d.onGetKsnCompleted(""); });
  EXPECT_TRUE(receiver_->events.empty());
  EXPECT_TRUE(checkout->events.empty());
  ASSERT_TRUE(awaitChooser());
  EXPECT_TRUE(hub().isBothTaviPicking());
  auto chooser = shownChooser(*services->navigation);
  EXPECT_EQ(chooser->model.nextStepTarget().lock(), screen);
  EXPECT_EQ(chooser->model.commonUnits().size(), 3u);  // the stand-in's eight models
}

TEST_F(DHSwiperControllerTest, UnplugForgetsTheReaderAndItsKeysEvenWithNobodyListening) {
  std::string transport(EncryptTool::getXorString().view());
  const std::string ksn = "0123456789ABCDEF";
  const std::string clearTpk = "0123456789ABCDEFFEDCBA9876543210";
  const std::string clearPik = "1111222233334444AAAABBBBCCCCDDDD";
  auto signIn = [&] {
    User& user = User::currentUser();
    user.setPsamId(ksn);
    user.setPsamTPK(Json{{ksn, *EncryptTool::encrypt(clearTpk, transport)}});
    user.setPsamPIK(Json{{ksn, *EncryptTool::encrypt(clearPik, clearTpk)}});
    user.setPsamMAC(Json{{ksn, *EncryptTool::encrypt(clearPik, clearTpk)}});
    ASSERT_TRUE(user.psamPIK() && user.psamTPK() && user.psamMAC());
  };
  hub().initSwiperSDkWithUnitId("0001");

  for (bool listening : {false, true}) {
    SCOPED_TRACE(listening);
    auto screen = std::make_shared<DriverEventRecorder>();
    hub().setDelegate(listening ? std::weak_ptr<CSwiperControllerDelegate>(screen)
                                : std::weak_ptr<CSwiperControllerDelegate>());
    signIn();
    hub().setKsnState(7);
    driver()->raise([](auto& d) { d.onDeviceUnplugged(); });
    const User& user = User::currentUser();
    EXPECT_EQ(user.psamId(), "");
    EXPECT_FALSE(user.psamTPK());
    EXPECT_FALSE(user.psamPIK());
    EXPECT_FALSE(user.psamMAC());
    EXPECT_FALSE(user.isHardwareSign());
    EXPECT_EQ(hub().ksnState(), 0);
    EXPECT_EQ(screen->names(), listening ? Names{"onDeviceUnplugged"} : Names{});
  }
}

TEST_F(DHSwiperControllerTest, AnEventAfterItsReceiverIsGoneGoesNowhere) {
  hub().initSwiperSDkWithUnitId("0002");
  auto checkout = std::make_shared<DriverEventRecorder>();
  hub().setCheckoutDelegate(checkout);
  std::weak_ptr<DriverEventRecorder> gone = receiver_;
  receiver_.reset();
  checkout.reset();
  ASSERT_TRUE(gone.expired());

  for (auto event : std::vector<std::function<void(CSwiperControllerDelegate&)>>{
           [](auto& d) { d.onDevicePlugged(); }, [](auto& d) { d.onWaitingForCardSwipe(); },
           [](auto& d) { d.onDecodeCompleted(std::nullopt, "K", "E", 0, 0, 0, "R", "M", "X", std::nullopt); },
           [](auto& d) { d.onGetKsnCompleted("0123456789ABCDEF"); }, [](auto& d) { d.onError(kReaderErrorKsn, "x"); },
           [](auto& d) { d.onTimeout(); }, [](auto& d) { d.onDeviceUnplugged(); }}) {
    driver()->raise(event);
  }
  platform::RunLoop::main().runUntilIdle();
  EXPECT_TRUE(hub().delegate().expired());
}

TEST_F(DHSwiperControllerTest, AReceiverMaySwitchTheModelInsideTheOldDriversEvent) {
  for (const char* to : {"0008", "0007"}) {
    SCOPED_TRACE(to);
    hub_.reset();
    hub().initSwiperSDkWithUnitId("0001");
    auto switcher = std::make_shared<SwitchingReceiver>();
    switcher->hub = hub_;
    switcher->switchTo = to;
    hub().setDelegate(switcher);
    std::weak_ptr<TestDriver> old = created_.back();
    TestDriver* raw = driver();

    raw->raise([](auto& d) { d.onDeviceUnplugged(); });  // checks that it survives the call
    EXPECT_EQ(hub().defaultUnitid(), to);
    platform::RunLoop::main().runUntilIdle();
    EXPECT_TRUE(old.expired());  // let go once the event has returned
  }
}

// --- the model list and the chooser -------------------------------------------------------------

TEST_F(DHSwiperControllerTest, AFailedListRequestShowsTheServersMessageAndChangesNothing) {
  startServer();
  hub().initSwiperSDkWithUnitId("0008");
  auto driverBefore = hub().swiper();
  auto stack = services->navigation->stack().size();

  server->script("getUnitListNew", standin::MainApiStandin::Scripted::error("3001", "系统维护中"), 1);
  hub().httpRequest();
  ASSERT_TRUE(await([&] { return promptShown() == "系统维护中"; }));
  EXPECT_EQ(platform::ui::Hud::on(*services->mainWindow).front()->yOffset(), -32);
  platform::RunLoop::main().advance(2.1);
  EXPECT_EQ(promptShown(), std::nullopt);

  server->setUnits(Json::array());  // an empty list is a failure too
  hub().httpRequest();
  ASSERT_TRUE(await([&] { return promptShown().has_value(); }));

  EXPECT_EQ(services->navigation->stack().size(), stack);
  EXPECT_FALSE(hub().isBothTaviPicking());
  EXPECT_EQ(hub().swiper(), driverBefore);
  EXPECT_EQ(stored("unitid"), "0008");
  EXPECT_EQ(stored("common_unitid"), "0008");
}

TEST_F(DHSwiperControllerTest, AnExpiredLoginDuringTheListRequestOpensTheLoginScreen) {
  startServer();
  ScreenRegistry::shared().add("LoginViewController", [] { return std::make_shared<NamedScreen>("LoginViewController"); });
  server->script("getUnitListNew", standin::MainApiStandin::Scripted::tokenExpired(), 1);
  hub().httpRequest();
  ASSERT_TRUE(await([&] {
    return services->navigation->topViewController()->className() == "LoginViewController";
  }));
  EXPECT_EQ(promptShown(), platform::Strings::localized("Error_Token_Effectiveness"));
  EXPECT_TRUE(services->navigation->lastTransitionAnimated());
}

TEST_F(DHSwiperControllerTest, TheChooserOpensOnTheStackOfTheScreenThatAsked) {
  struct Case {
    const char* name;
    std::function<std::shared_ptr<platform::ui::ViewController>()> target;
    bool onOwnStack;
  } cases[] = {
      {"no screen", [] { return nullptr; }, false},
      {"screen without a stack", [] { return std::make_shared<PayScreen>(); }, false},
      {"screen on its own stack", [] { return std::make_shared<PayScreen>(); }, true},
      {"the More screen", [] { return std::make_shared<NamedScreen>("MoreViewController"); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto own = platform::ui::NavigationController::create(std::make_shared<NamedScreen>("Root"));
    auto target = c.target();
    bool pushTarget = target && std::string_view(c.name) != "screen without a stack";
    if (pushTarget) own->push(target, false);
    hub().setNextStepTarget(target);
    services->navigation->popToRoot(false);

    hub().showUnitListView(unitsOf({"0001", "0007"}));
    auto& expected = c.onOwnStack ? *own : *services->navigation;
    auto& other = c.onOwnStack ? *services->navigation : *own;
    ASSERT_TRUE(shownChooser(expected)) << c.name;
    EXPECT_FALSE(shownChooser(other));
    EXPECT_TRUE(expected.lastTransitionAnimated());
    EXPECT_EQ(DHSwiperController::navigationControllerForTarget(target).get(), &expected);
  }
}

TEST_F(DHSwiperControllerTest, TheChooserHearsTheBoxOnlyWhileItIsShown) {
  auto& detector = TaviDetector::sharedDetector();
  hub();  // listening
  detector.performConnected();
  EXPECT_TRUE(hub().isTaviPresent());
  EXPECT_TRUE(hub().isDevicePresent());

  hub().showUnitListView(unitsOf({"0001", "0007", "0004"}));
  std::weak_ptr<TestChooser> chooser = shownChooser(*services->navigation);
  ASSERT_FALSE(chooser.expired());
  auto others = [&] {
    Names ids;
    for (const auto& u : chooser.lock()->model.otherUnits()) ids.push_back(*u.unitid());
    return ids;
  };
  EXPECT_EQ(others(), (Names{"0004", "0007"}));  // the box was there at opening

  detector.performDisConnected();
  EXPECT_FALSE(hub().isTaviPresent());
  EXPECT_EQ(others(), Names{"0004"});
  detector.performConnected();
  EXPECT_EQ(others(), (Names{"0004", "0007"}));

  services->navigation->pop(false);
  platform::RunLoop::main().runUntilIdle();
  EXPECT_TRUE(chooser.expired());
  detector.performDisConnected();  // goes nowhere
  detector.performConnected();
  EXPECT_TRUE(hub().taviListener().expired());
}

TEST_F(DHSwiperControllerTest, SavingTheChoicePopsTheChooserSwitchesTheModelAndCarriesOn) {
  struct Case {
    const char* name;
    bool answersNextStep;
  } cases[] = {{"pay screen", true}, {"plain screen", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    services->navigation->popToRoot(false);
    hub_.reset();
    hub().initSwiperSDkWithUnitId("0008");
    auto pay = std::make_shared<PayScreen>();
    std::shared_ptr<platform::ui::ViewController> target =
        c.answersNextStep ? std::static_pointer_cast<platform::ui::ViewController>(pay)
                          : std::make_shared<NamedScreen>("PlainScreen");
    services->navigation->push(target, false);
    hub().setNextStepTarget(target);
    hub().showUnitListView(unitsOf({"0001", "0002", "0007"}));
    auto chooser = shownChooser(*services->navigation);
    ASSERT_TRUE(chooser);

    chooser->model.readCurrentUnit();
    EXPECT_EQ(chooser->model.currentUnit(), "0008");
    ASSERT_TRUE(chooser->model.selectRow(UnitChooserModel::kCommonSection, 1));
    chooser->model.save(hub());
    EXPECT_EQ(services->navigation->topViewController(), target);
    EXPECT_TRUE(services->navigation->lastTransitionAnimated());
    EXPECT_EQ(hub().defaultUnitid(), "0002");
    EXPECT_EQ(driver()->unitId, "0002");
    EXPECT_EQ(stored("unitid"), "0002");
    EXPECT_EQ(pay->nextSteps, c.answersNextStep ? 1 : 0);
  }
}

// --- the real Wi-Fi box -----------------------------------------------------------------------------

TEST_F(DHSwiperControllerTest, TheBoxReachesTheScreenThroughTheHub) {
  // The box's own ports, published before the hub's sockets are made.
  standin::SimulatedWifiBox box(standin::SimulatedWifiBox::onFreePorts());
  ASSERT_TRUE(box.bindPorts().isOk());
  hub().initSwiperSDkWithUnitId("0007");
  ASSERT_TRUE(box.start().isOk());
  ASSERT_TRUE(testing::pumpUntil([&] { return receiver_->has("onDevicePlugged"); }, 10.0));
  ASSERT_TRUE(testing::pumpUntil([&] { return hub().isTaviPresent(); }, 10.0));

  hub().getCSwiperKsn();
  ASSERT_TRUE(testing::pumpUntil([&] { return receiver_->has("onGetKsnCompleted"); }, 10.0));
  EXPECT_EQ(receiver_->last("onGetKsnCompleted")->text,
            WexProtocol::ByteToHex(box.config().ksn.data(), box.config().ksn.size()));

  User::currentUser().setPsamId(receiver_->last("onGetKsnCompleted")->text);
  hub().setKsnState(3);
  box.stop();
  ASSERT_TRUE(testing::pumpUntil([&] { return receiver_->has("onDeviceUnplugged"); }, 15.0));
  EXPECT_EQ(User::currentUser().psamId(), "");
  EXPECT_EQ(hub().ksnState(), 0);
  EXPECT_FALSE(receiver_->has("onError"));
}

}  // namespace
}  // namespace nvx::reader
