#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "core/session/User.h"
#include "lottery/core/StaticVariable.h"
#include "standin/StandinFixture.h"
#include "standin/mainapi/Hex.h"
#include "standin/mainapi/PayRoutes.h"
#include "client/ClientMain.h"
#include "net/CoreOperations.h"
#include "net/DataStatistics.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/Jack.h"
#include "platform/net/NetConfig.h"
#include "reader/DHSwiperController.h"
#include "sim/SimStandins.h"
#include "app/ui/NVXKeyboardView.h"
#include "app/ui/NVXSafeKeyboardView.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

namespace nvx::sim {
namespace {

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Virtual time in small steps, with the socket traffic of each step let in (real time).
bool pumpUntil(const std::function<bool()>& pred, double seconds) {
  auto& loop = platform::RunLoop::main();
  for (double t = 0; t < seconds; t += 0.05) {
    loop.drainIo(std::chrono::milliseconds(5));
    if (pred()) return true;
    loop.advance(0.05);
  }
  return pred();
}

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standins.start().isOk());
    startClient(platform::Sandbox::root());
  }
  void TearDown() override { standins.stop(); }

  std::string run(const std::string& script, int expectedFailures = 0) {
    std::ostringstream out;
    Simulator simulator(out, &standins);
    std::istringstream in(script);
    EXPECT_EQ(simulator.run(in), expectedFailures) << out.str();
    return out.str();
  }

  SimStandins standins;
};

TEST_F(SimulatorTest, LaunchShowsTheSplashThenTheHomeRootWithTheBoxFound) {
  const std::string text = run("# launch\nshow\nwait 3\n\nquit\nshow\n");
  // The splash alone first, then the home root without it.
  const auto splash = text.find("ImageView tag=50785 (0,0,320,568) image=app_splash-568h.png");
  ASSERT_NE(splash, std::string::npos) << text;
  EXPECT_EQ(count(text, "tag=50785"), 2u) << "shown before and after the second stage, then gone:\n" << text;
  const auto last = text.rfind("= screen");
  ASSERT_NE(last, std::string::npos) << text;
  EXPECT_EQ(text.find("tag=50785", last), std::string::npos) << "the splash stayed:\n" << text;
  EXPECT_NE(text.find("* Wi-Fi reader box present"), std::string::npos) << text;
  ASSERT_TRUE(AppServices::current().swiper());
  EXPECT_TRUE(AppServices::current().swiper()->isTaviPresent());
  // Nothing runs after quit.
  EXPECT_EQ(text.find("> show", text.find("> quit")), std::string::npos);
}

TEST_F(SimulatorTest, ReaderHandsPlugUnplugAndSwipe) {
  run("wait 2.5\n");
  EXPECT_NE(run("swipe\n", 1).find("! no reader is waiting for a card"), std::string::npos);
  run("plug\nwait 0.5\n");
  EXPECT_TRUE(standins.isReaderPlugged());
  EXPECT_TRUE(platform::media::Jack::shared().isPlugged());
  EXPECT_NE(run("plug\n", 1).find("! the reader is already plugged"), std::string::npos);
  run("unplug\n");
  EXPECT_FALSE(platform::media::Jack::shared().isPlugged());
  EXPECT_NE(run("unplug\n", 1).find("! nothing is plugged"), std::string::npos);
}

TEST_F(SimulatorTest, SwipeReachesThePluggedReaderWhileItWaitsForACard) {
  run("wait 2.5\nplug\n");
  auto hub = AppServices::current().swiper();
  ASSERT_TRUE(hub);
  hub->initSwiperSDkWithUnitId("0002");
  ASSERT_TRUE(pumpUntil([&] { return hub->isDevicePresent(); }, 2));
  hub->startCSwiper();
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return standins.reader().isArmed(); }, platform::secs(60)));
  run("swipe\n");
  EXPECT_FALSE(standins.reader().isArmed());
}

TEST_F(SimulatorTest, TheModel0001And0008ReadersPlugInTheirPlaceAndTakeTheSwipe) {
  run("wait 2.5\n");
  EXPECT_NE(run("plug 0009\n", 1).find("! no simulated reader of model 0009"), std::string::npos);
  struct Case {
    const char* model;
    platform::media::Peer* reader;
    std::function<bool()> armed;
  };
  const Case cases[] = {
      {"0001", &standins.reader0001(), [&] { return standins.reader0001().isArmed(); }},
      {"0008", &standins.reader0008(), [&] { return standins.reader0008().isArmed(); }},
  };
  for (const Case& c : cases) {
    run(std::string("plug ") + c.model + "\n");
    EXPECT_TRUE(standins.isReaderPlugged()) << c.model;
    EXPECT_EQ(platform::media::Jack::shared().peer().get(), c.reader) << c.model;
    auto hub = AppServices::current().swiper();
    ASSERT_TRUE(hub);
    hub->initSwiperSDkWithUnitId(c.model);
    ASSERT_TRUE(pumpUntil([&] { return hub->isDevicePresent(); }, 2)) << c.model;
    hub->startCSwiper();
    ASSERT_TRUE(platform::RunLoop::main().runUntil(c.armed, platform::secs(10))) << c.model;
    run("swipe\n");
    EXPECT_FALSE(c.armed()) << c.model;
    // Plugging the other model takes this one out first.
    run("plug\n");
    EXPECT_EQ(platform::media::Jack::shared().peer().get(), &standins.reader()) << c.model;
    hub->stopCSwiper();
  }
}

TEST_F(SimulatorTest, PlugNamesTheReaderModelAndTheSwipeReachesThe0003Reader) {
  run("wait 2.5\n");
  EXPECT_NE(run("plug 0009\n", 1).find("! no simulated reader of model 0009"), std::string::npos);
  run("plug 0004\n");
  EXPECT_TRUE(platform::media::Jack::shared().peer().get() == &standins.reader0003());
  EXPECT_NE(run("plug 0003\n", 1).find("! the reader is already plugged"), std::string::npos);
  auto hub = AppServices::current().swiper();
  ASSERT_TRUE(hub);
  hub->initSwiperSDkWithUnitId("0004");
  ASSERT_TRUE(pumpUntil([&] { return hub->isDevicePresent(); }, 2));
  hub->startCSwiper();
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return standins.reader0003().isArmed(); }, platform::secs(10)));
  run("swipe\n");
  EXPECT_FALSE(standins.reader0003().isArmed());
  // Plain plug goes back to the 0002 reader.
  run("plug\n");
  EXPECT_EQ(platform::media::Jack::shared().peer().get(), &standins.reader());
}

TEST_F(SimulatorTest, SwipeReachesTheBoxWhileItWaitsForACard) {
  run("wait 2.5\n");
  auto hub = AppServices::current().swiper();
  ASSERT_TRUE(hub && hub->isTaviPresent());
  hub->initSwiperSDkWithUnitId("0007");
  hub->startCSwiper();
  ASSERT_TRUE(pumpUntil([&] { return standins.box().isArmed(); }, 10));
  run("swipe\n");
  EXPECT_FALSE(standins.box().isArmed());
}

// The servers the client calls besides its main calls all answer in the simulator: a business
// description, a push message's content and the screens' probes.
TEST_F(SimulatorTest, DescriptionsPushMessagesAndProbesReachTheirStandins) {
  std::optional<std::string> description;
  bool described = false;
  CoreOperations::getBusiDesc("B00001_1", [&](std::optional<std::string> text, RetStatusEntity, bool isErr) {
    EXPECT_FALSE(isErr);
    description = std::move(text);
    described = true;
  });
  std::optional<platform::Json> message;
  CoreOperations::getIosPushMsgWithMsgId("m-1", [&](NetResult result, RetStatusEntity, bool isErr) {
    EXPECT_FALSE(isErr);
    const platform::Json* list = result.json();
    message = list && list->is_array() && !list->empty() ? list->front() : platform::Json();
  });
  DataStatistics::probe("M50010_1");
  ASSERT_TRUE(pumpUntil([&] { return described && message && !standins.probe().probes().empty(); }, 30))
      << described << " " << message.has_value() << " " << standins.probe().probes().size();
  EXPECT_EQ(description, std::string(standin::MainApiStandin::kBusiDesc));
  EXPECT_EQ(platform::json::text(*message, "aContent"), std::string(standin::StatisticsStandin::kPushMessageContent));
  EXPECT_EQ(standins.statistics().pushMessageIds(), std::vector<std::string>{"m-1"});
  const auto probe = standins.probe().probes().front();
  ASSERT_TRUE(probe.profile) << probe.error;
  EXPECT_EQ(platform::json::text(*probe.profile, "busid"), "M50010_1");
  EXPECT_TRUE(probe.https);
}

// A screen registered by its class name, as the feature modules register theirs.
class NamedScreen : public platform::ui::ViewController {
 public:
  explicit NamedScreen(std::string name) : name_(std::move(name)) {}
  std::string className() const override { return name_; }

 private:
  std::string name_;
};

// The client starts into the home screen: the guide is closed, a tab is tapped by its tag and a
// box by its title; logged out, a gated box opens the login screen.
TEST_F(SimulatorTest, TheHomeScreenSwitchesTabsAndABoxOpensItsBusinessOrTheLoginScreen) {
  for (const char* name : {"LoginViewController", "PayBusinessViewController"}) {
    ScreenRegistry::shared().add(name, [name] { return std::make_shared<NamedScreen>(name); });
  }
  run("wait 3\nguide\n");
  auto nav = AppServices::current().navigationController();
  ASSERT_TRUE(nav);
  EXPECT_EQ(nav->stack().front()->className(), "HomeViewController");
  EXPECT_NE(run("guide\n", 1).find("! no first-run guide is shown"), std::string::npos);
  run("tap 信用卡还款\nwait 1\n");
  EXPECT_EQ(nav->topViewController()->className(), "LoginViewController");
  nav->popToRoot(false);
  run("tap #10233\nwait 1\ntap 缴费\nwait 1\n");
  EXPECT_EQ(nav->topViewController()->className(), "PayBusinessViewController");
  EXPECT_NE(run("tap #99\n", 1).find("!"), std::string::npos);
}

// A form as business screens build them: a labelled phone field, a field found by its
// placeholder, an amount on the client's amount pad, a PIN on the client's PIN pad (the screen
// keeps the digits), a picker, a sheet and an alert.
class FormScreen : public platform::ui::ViewController,
                   public NVXKeyboardViewDelegate,
                   public platform::ui::PickerViewDataSource,
                   public platform::ui::PickerViewDelegate {
 public:
  std::string className() const override { return "FormScreen"; }
  void viewDidLoad() override {
    using platform::ui::Rect;
    auto root = view();
    root->addSubview(platform::ui::Label::create(Rect{10, 10, 80, 30}, "手机号码："));
    phone = platform::ui::TextField::create(Rect{100, 10, 200, 30});
    root->addSubview(phone);
    root->addSubview(platform::ui::Label::create(Rect{10, 50, 80, 30}, "说明"));
    bill = platform::ui::TextField::create(Rect{100, 50, 200, 30});
    bill->setPlaceholder("请输入账单号");
    root->addSubview(bill);
    amount = platform::ui::TextField::create(Rect{100, 90, 200, 30});
    amount->setPlaceholder("请输入金额");
    root->addSubview(amount);
    amountPad = NVXSafeKeyboardView::numberPadWithInputField(amount, NVXSafeKeyboardView::kAmountStyle);
    pin = platform::ui::TextField::create(Rect{100, 130, 200, 30});
    pin->setPlaceholder("请输入密码");
    pin->setInputView(NVXKeyboardView::numberPadWithDelegate(
        std::static_pointer_cast<FormScreen>(shared_from_this())));
    root->addSubview(pin);
    picker = platform::ui::PickerView::create(Rect{0, 300, 320, 216});
    picker->setDataSource(std::static_pointer_cast<FormScreen>(shared_from_this()));
    picker->setDelegate(std::static_pointer_cast<FormScreen>(shared_from_this()));
    root->addSubview(picker);
    auto choose = platform::ui::Button::create(Rect{10, 170, 100, 40});
    choose->setTitle("选择");
    choose->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [this](platform::ui::Control&) {
      auto sheet = platform::ui::ActionSheet::create("来源", "取消", std::nullopt, {"拍照", "相册"});
      sheet->setOnClicked([this](platform::ui::ActionSheet& s, int index) { chosen = s.buttonTitleAtIndex(index); });
      sheet->showIn(*view());
    });
    root->addSubview(choose);
  }
  void keyboadView(NVXKeyboardView&, int digit) override { pinDigits += std::to_string(digit); }
  void keyboadViewdoneButtonPressed(NVXKeyboardView&) override {
    pinDone = true;
    pin->resignFirstResponder();
  }
  void keyboadViewdeleteButtonPressed(NVXKeyboardView&) override {
    if (!pinDigits.empty()) pinDigits.pop_back();
  }
  int numberOfComponents(platform::ui::PickerView&) override { return 1; }
  int numberOfRows(platform::ui::PickerView&, int) override { return 3; }
  std::optional<std::string> titleForRow(platform::ui::PickerView&, int row, int) override {
    return std::vector<std::string>{"北京", "上海", "广州"}[static_cast<size_t>(row)];
  }

  std::shared_ptr<platform::ui::TextField> phone, bill, amount, pin;
  std::shared_ptr<NVXSafeKeyboardView> amountPad;
  std::shared_ptr<platform::ui::PickerView> picker;
  std::string pinDigits;
  bool pinDone = false;
  std::string chosen;
};

class SimulatorForms : public ::testing::Test {
 protected:
  void SetUp() override {
    window->setRootViewController(form);
    window->makeKeyAndVisible();
  }
  // Runs the script; the count of failed actions.
  int run(const std::string& text) {
    std::istringstream script(text);
    return simulator.run(script);
  }

  std::shared_ptr<FormScreen> form = std::make_shared<FormScreen>();
  std::shared_ptr<platform::ui::Window> window = platform::ui::Window::create();
  std::ostringstream out;
  Simulator simulator{out};
};

TEST_F(SimulatorForms, TypesPressesPicksAndChoosesAsAUser) {
  const int failed = run(
      "type 手机号码 = 13800000000\n"
      "type 请输入账单号 = 2014031500001\n"
      "type 请输入金额 = 12.345\n"
      "type 请输入密码 = \n"
      "press 1234 delete 56 7 done\n"
      "pick 上海\n"
      "tap 选择\n"
      "sheet 相册\n");
  EXPECT_EQ(failed, 0) << out.str();
  EXPECT_EQ(form->phone->text(), "13800000000");
  EXPECT_EQ(form->bill->text(), "2014031500001");
  // The amount pad's own rule: two decimals at most.
  EXPECT_EQ(form->amount->text(), "12.34");
  EXPECT_EQ(form->pinDigits, "123567");
  EXPECT_TRUE(form->pinDone);
  EXPECT_EQ(form->picker->selectedRow(0), 1);
  EXPECT_EQ(form->chosen, "相册");
  EXPECT_NE(out.str().find("> type 手机号码 = 13800000000"), std::string::npos) << out.str();
}

TEST_F(SimulatorForms, FormMistakesAreReported) {
  const int failed = run(
      "press 1\n"                  // no keypad up yet
      "type 不存在 = 1\n"
      "type 请输入账单号\n"
      "type 请输入金额 = 1a\n"     // the amount pad has no key "a"
      "press 00 hide\n"
      "type 请输入密码 = 1\n"
      "press .\n"                  // the PIN pad has no point
      "pick 深圳\n"
      "sheet 相册\n"
      "pick\n");
  EXPECT_EQ(failed, 8) << out.str();
  for (const char* message : {"! no keypad of the client is up", "! no text field with the placeholder or label \"不存在\"",
                              "! type takes <field> = <text>", "! the keypad has no key \"a\"",
                              "! the keypad has no key \".\"", "! the picker has no row \"深圳\"", "! pick needs an argument"}) {
    EXPECT_NE(out.str().find(message), std::string::npos) << message << "\n" << out.str();
  }
  EXPECT_EQ(form->amount->text(), "100.00") << "the keys before the bad one were pressed, then the pad was hidden";
}

// The lottery box behind the real login screen against the main-API stand-in: after the login the
// host's session is copied into the lottery's and the lottery's root is pushed.
TEST_F(SimulatorTest, TheLotteryBoxLogsInThenEntersTheLotteryWithTheSession) {
  ScreenRegistry::shared().add("TabBarController", [] { return std::make_shared<NamedScreen>("TabBarController"); });
  run("wait 3\nguide\ntap #10233\nwait 1\ntap 彩票\nwait 1\n");
  auto nav = AppServices::current().navigationController();
  ASSERT_TRUE(nav);
  EXPECT_EQ(nav->topViewController()->className(), "LoginViewController");
  run(std::string("type 手机号码 = ") + std::string(standin::fixture::kLoginName) + "\ntype 登录密码 = " +
      std::string(standin::fixture::kPassword) + "\ntap 登录\n");
  ASSERT_TRUE(pumpUntil([&] { return nav->topViewController()->className() == "TabBarController"; }, 10));
  const auto& session = lottery::StaticVariable::shared();
  EXPECT_EQ(session.mobelNum(), standin::fixture::kLoginName);
  EXPECT_EQ(session.finalTokenid(), User::currentUser().userToken());
  EXPECT_FALSE(session.finalTokenid().empty());
  EXPECT_EQ(session.userID(), User::currentUser().userId() + ";" + User::currentUser().psamNo());
  EXPECT_TRUE(nav->isNavigationBarHidden());
}

// The bundled pay-bill script, as `scripts/demo pay-bill` runs it: each screen it passes in turn,
// the commit the stand-in checked and recorded, the receipt's rows, and home at the end.
TEST_F(SimulatorTest, TheBundledPayBillScriptPaysABillEndToEnd) {
  std::ifstream script(NVX_SIM_SCRIPTS_DIR "/pay-bill.txt");
  ASSERT_TRUE(script) << NVX_SIM_SCRIPTS_DIR "/pay-bill.txt";
  std::ostringstream out;
  Simulator simulator(out, &standins);
  std::vector<std::string> passed;  // the top screen's class each time it changes
  std::vector<std::string> receiptTexts;
  const std::vector<std::string> rowTexts = {"账单号付款成功", "SR000000000001", "测试账单", "88001234",
                                             "622202******0123", "120.50 元", "0.00 元"};
  std::string line;
  while (std::getline(script, line)) {
    const bool more = simulator.perform(line);
    auto nav = AppServices::current().navigationController();
    if (nav && nav->topViewController()) {
      const std::string top = nav->topViewController()->className();
      if (passed.empty() || passed.back() != top) passed.push_back(top);
      if (top == "SwipeResultViewController" && receiptTexts.empty()) {
        platform::ui::Inspector inspector;
        for (const auto& text : rowTexts) {
          if (inspector.byText(text)) receiptTexts.push_back(text);
        }
      }
    }
    if (!more) break;
  }
  ASSERT_EQ(simulator.failures(), 0) << out.str();
  // The reader is the test user's own: no binding screen on the way.
  EXPECT_EQ(passed, (std::vector<std::string>{"HomeViewController", "LoginViewController",
                                              "BillNumberRemittanceVeiwController", "SwipeViewController",
                                              "SwipeResultViewController", "HomeViewController"}))
      << out.str();

  auto& api = standins.mainApi();
  auto verdict = api.lastVerdict("commitTransaction");
  ASSERT_TRUE(verdict) << out.str();
  EXPECT_TRUE(verdict->identityOk);
  EXPECT_EQ(verdict->macOk, true);
  EXPECT_EQ(verdict->pinOk, true);
  EXPECT_EQ(verdict->retCode, "0000");
  {
    auto lock = api.lock();
    const auto& commits = api.feature<standin::PayState>().commits;
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0].busid, "M20013");
    EXPECT_EQ(commits[0].amountFen, 12050);
    EXPECT_TRUE(commits[0].withPin);
    EXPECT_EQ(commits[0].termid, standin::mainapi::upperHex(standin::SimulatedWifiBox::Config{}.ksn.data(), 8));
  }
  EXPECT_EQ(receiptTexts, rowTexts) << out.str();
  // The PIN never shows: the pad's digits are masked on the swipe screen.
  EXPECT_EQ(out.str().find("\"123456\""), std::string::npos);
}

TEST(SimulatorWithoutStandins, BadActionsAreReportedAndCounted) {
  platform::net::NetConfig::current().useLoopbackNetwork();
  // A box that is never powered on holds the phone's ports for it.
  standin::SimulatedWifiBox ports(standin::SimulatedWifiBox::onFreePorts());
  ASSERT_TRUE(ports.bindPorts().isOk());
  startClient(platform::Sandbox::root());
  std::ostringstream out;
  Simulator simulator(out);
  std::istringstream script("fly away\nwait soon\nwait -1\ntap\ntap 不存在的按钮\nalert 确定\nplug\n");
  EXPECT_EQ(simulator.run(script), 7);
  EXPECT_NE(out.str().find("! unknown action: fly"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("! plug: no simulated readers in this session"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace nvx::sim
