#include "app/ui/NVXViewController.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>

#include "core/shell/ScreenRegistry.h"
#include "core/session/User.h"
#include "app/ui/BusinessTypeScreen.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/HudExt.h"
#include "app/ui/NVXBaseViewController.h"
#include "app/ui/NVXTableViewController.h"
#include "app/ui/PublicServiceScreen.h"
#include "app/ui/testing/TestScreenServices.h"
#include "net/DataStatistics.h"
#include "app/ui/NVXResponseErrorHandler.h"
#include "net/StatisticsServerConfig.h"
#include "platform/device/AddressBook.h"
#include "platform/device/Device.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Label.h"
#include "platform/ui/Toolbar.h"
#include "standin/ProbeStandin.h"

namespace nvx {
namespace {

using platform::RunLoop;
using platform::ui::AlertView;
using platform::ui::Hud;
using platform::ui::Inspector;
using testing::TestLoginScreen;
using testing::TestScreenServices;

// A base screen under any class name, as the screens that derive from it are; it reads the
// service and business types the statistics ask for, and keeps the numbers the picker gives.
class TestScreen : public NVXViewController, public PublicServiceScreen, public BusinessTypeScreen {
 public:
  explicit TestScreen(std::string name = NVXViewController::kClassName, int type = 0) : name_(std::move(name)), type_(type) {}
  std::string className() const override { return name_; }
  int serviceType() const override { return type_; }
  int businessType() const override { return type_; }
  void getPhoneNumberSuccess(const std::string& number) override { numbers.push_back(number); }

  std::vector<std::string> numbers;

 private:
  std::string name_;
  int type_;
};

class NVXViewControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services = std::make_shared<TestScreenServices>();
    AppServices::install(services);
  }
  void TearDown() override { AppServices::install(nullptr); }

  // Pushes a screen (not animated) and returns it.
  template <class T = TestScreen, class... A>
  std::shared_ptr<T> pushed(A&&... args) {
    auto screen = std::make_shared<T>(std::forward<A>(args)...);
    services->navigation->push(screen, false);
    return screen;
  }
  // Lets transitions and delayed work of the main loop end.
  static void settle(double seconds = 1.0) { RunLoop::main().advance(seconds); }

  std::vector<std::shared_ptr<Hud>> overlays() const { return Hud::on(*services->mainWindow); }
  std::optional<std::string> promptShown() const {
    for (const auto& hud : overlays()) {
      if (hud->mode() == Hud::Mode::Text) return hud->label();
    }
    return std::nullopt;
  }

  std::shared_ptr<TestScreenServices> services;
};

// The back button of a screen's navigation item.
std::shared_ptr<platform::ui::Button> backButtonOf(platform::ui::ViewController& screen) {
  auto item = screen.navigationItem().leftBarButtonItem();
  return item ? std::dynamic_pointer_cast<platform::ui::Button>(item->customView()) : nullptr;
}

// --- set-up and appearance --------------------------------------------------------------------------

TEST_F(NVXViewControllerTest, SetUpGivesTheClientsBarBackButtonPageColourAndSize) {
  services->navigation->setNavigationBarHidden(true);
  auto screen = std::make_shared<NVXViewController>();
  EXPECT_EQ(screen->className(), "NVXViewController");
  auto root = screen->view();
  EXPECT_EQ(root->frame(), (platform::ui::Rect{0, 0, 320, 568 - 64}));
  ASSERT_TRUE(root->backgroundColor());
  EXPECT_EQ(*root->backgroundColor(), (platform::ui::Color{247.0 / 255, 247.0 / 255, 247.0 / 255, 1}));
  // The hidden volume view lies off the screen.
  bool offScreen = false;
  for (const auto& v : root->subviews()) offScreen |= v->frame() == platform::ui::Rect{-500, -500, 1, 1};
  EXPECT_TRUE(offScreen);

  auto back = backButtonOf(*screen);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->isExclusiveTouch());
  auto label = std::dynamic_pointer_cast<platform::ui::Label>(back->viewWithTag(ButtonCreater::kBackLabelTag));
  ASSERT_TRUE(label);
  EXPECT_EQ(label->text(), "返回");

  services->navigation->push(screen, false);
  EXPECT_TRUE(screen->navigationItem().hidesBackButton());
  EXPECT_FALSE(services->navigation->isNavigationBarHidden());
}

TEST_F(NVXViewControllerTest, BackButtonPopsUnlessAnExecutorTakesOver) {
  struct Target {
    int backs = 0;
    void back() { ++backs; }
  };
  auto target = std::make_shared<Target>();
  auto first = pushed();
  auto second = pushed();
  second->setNavBackItemExecutor(CMExecutor::initWithTarget(target, &Target::back));
  ASSERT_TRUE(Inspector().tapControl(*backButtonOf(*second)).isOk());
  settle();
  EXPECT_EQ(target->backs, 1);
  EXPECT_EQ(services->navigation->topViewController(), second);

  second->setNavBackItemExecutor(nullptr);
  ASSERT_TRUE(Inspector().tapControl(*backButtonOf(*second)).isOk());
  EXPECT_TRUE(services->navigation->lastTransitionAnimated());
  settle();
  EXPECT_EQ(services->navigation->topViewController(), first);
  EXPECT_EQ(target->backs, 1);
}

TEST_F(NVXViewControllerTest, TheScreenInFrontTakesTheReaderEventsWithoutBeingKeptAlive) {
  auto first = pushed();
  EXPECT_EQ(services->swiperListener(), std::static_pointer_cast<reader::CSwiperControllerDelegate>(first));
  std::weak_ptr<TestScreen> second = pushed();
  EXPECT_EQ(services->swiperListener(), std::static_pointer_cast<reader::CSwiperControllerDelegate>(second.lock()));

  services->navigation->pop(true);
  EXPECT_EQ(services->swiperListener(), std::static_pointer_cast<reader::CSwiperControllerDelegate>(first));  // on its viewWillAppear
  settle();
  EXPECT_TRUE(second.expired());

  // The listener reference alone keeps nothing alive; an event after the screen went goes nowhere.
  services->setSwiperListener(second);
  services->onTimeout();
  services->onGetKsnCompleted("ABCDEF0123456789");
  EXPECT_EQ(services->swiperListener(), nullptr);
}

TEST_F(NVXViewControllerTest, RotationFollowsTheScreenModeAndTheGuide) {
  using platform::ui::Orientation;
  struct Case {
    std::optional<platform::ScreenSize> mode;
    bool guide;
    bool upsideDown;
  };
  const Case cases[] = {
      {platform::ScreenSize{640, 1136}, false, true}, {platform::ScreenSize{320, 568}, false, true},
      {platform::ScreenSize{640, 1136}, true, false}, {platform::ScreenSize{640, 960}, false, false},
      {std::nullopt, false, false},
  };
  TestScreen screen;
  for (const auto& c : cases) {
    platform::Device::screen().currentMode = c.mode;
    services->showWizard = c.guide;
    EXPECT_TRUE(screen.shouldAutorotateTo(Orientation::Portrait));
    EXPECT_EQ(screen.shouldAutorotateTo(Orientation::PortraitUpsideDown), c.upsideDown)
        << (c.mode ? c.mode->width : 0) << " guide " << c.guide;
    EXPECT_FALSE(screen.shouldAutorotateTo(Orientation::LandscapeLeft));
  }
}

// --- statistics -------------------------------------------------------------------------------------

TEST_F(NVXViewControllerTest, LoadingTheViewRecordsTheVisitAndSendsTheProbe) {
  standin::ProbeStandin probeServer;
  ASSERT_TRUE(probeServer.start().isOk());
  StatisticsServerConfig::current().setProbeBase(probeServer.probeAddress());
  User::currentUser().setLoginName("13800000000");

  struct Case {
    std::string name;
    int type;
    std::string step;   // "" for none
    std::string probe;  // "" for none
  };
  const Case cases[] = {
      {"BuyNuvexaViewController", 0, "B00001_1", ""},
      {"TransferRemittanceViewController", 0, "M50010_N1", "M50010_1"},
      {"PublicServiceViewController", 1, "B00005_1", ""},
      {"PublicServiceViewController", 9, "", ""},
      {"SwipeViewController", 10, "M50010_N11", "M50010_2"},
      {"SwipeResultViewController", 10, "M50010_N13", "M50010_3"},
      {"NVXMultPayViewController", 37, "M50010_4", ""},
      {"NVXViewController", 0, "", ""},
  };
  size_t probes = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + std::to_string(c.type));
    auto screen = std::make_shared<TestScreen>(c.name, c.type);
    screen->view();
    EXPECT_EQ(screen->stepIdentifier(), c.step);
    const std::string records = platform::fs::read(platform::Sandbox::caches() / "DataStatisticsFileTemp.txt").value_or("");
    if (!c.step.empty()) {
      EXPECT_NE(records.find("," + c.step + ",IOS00,"), std::string::npos) << records;
    }
    if (!c.probe.empty()) {
      ++probes;
      ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return probeServer.probes().size() == probes; },
                                               std::chrono::seconds(10)));
      ASSERT_TRUE(probeServer.probes().back().profile);
      EXPECT_EQ((*probeServer.probes().back().profile)["busid"], c.probe);
    }
  }
  EXPECT_EQ(probeServer.probes().size(), probes);

  // A screen that opts out records nothing.
  auto quiet = std::make_shared<TestScreen>("BuyNuvexaViewController");
  quiet->setIsCancelStepRecord(true);
  const size_t before = platform::fs::read(platform::Sandbox::caches() / "DataStatisticsFileTemp.txt").value_or("").size();
  quiet->view();
  EXPECT_EQ(quiet->stepIdentifier(), "");
  EXPECT_EQ(platform::fs::read(platform::Sandbox::caches() / "DataStatisticsFileTemp.txt").value_or("").size(), before);
  probeServer.stop();
}

// --- prompts --------------------------------------------------------------------------------------

TEST_F(NVXViewControllerTest, PromptsAreDroppedWhileAnAlertIsUpUnlessItIsPromptFriendly) {
  struct Case {
    const char* name;
    std::vector<int> alertTags;
    bool shown;
  };
  const Case cases[] = {
      {"no alert", {}, true},
      {"an alert", {5}, false},
      {"only prompt-friendly alerts", {987654, 987654}, true},
      {"a prompt-friendly and another", {987654, 0}, false},
  };
  auto screen = pushed();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (int tag : c.alertTags) {
      auto alert = AlertView::create("提示", "内容", std::string("确定"));
      alert->setTag(tag);
      alert->show();
    }
    screen->showPrompt("请稍候");
    EXPECT_EQ(promptShown().has_value(), c.shown);
    if (c.shown) {
      EXPECT_EQ(*promptShown(), "请稍候");
      EXPECT_EQ(overlays().back()->yOffset(), -32);
      RunLoop::main().advance(1.39);
      EXPECT_TRUE(promptShown());
      RunLoop::main().advance(0.01);
    }
    EXPECT_FALSE(promptShown());
    AlertView::dismissAll();
  }

  screen->showPrompt("三秒", 3.0);
  RunLoop::main().advance(2.99);
  EXPECT_EQ(promptShown(), "三秒");
  RunLoop::main().advance(0.01);
  EXPECT_FALSE(promptShown());
}

TEST_F(NVXViewControllerTest, PromptFollowUpRunsOnceTwoSecondsLaterAndKeepsTheScreenUntilThen) {
  int follows = 0;
  std::weak_ptr<TestScreen> weak;
  {
    auto screen = pushed();
    weak = screen;
    screen->showPrompt("已提交", [&] {
      EXPECT_TRUE(RunLoop::main().isMainThread());
      ++follows;
    });
    services->navigation->pop(false);
  }
  RunLoop::main().advance(1.99);
  EXPECT_EQ(follows, 0);
  EXPECT_FALSE(weak.expired());
  RunLoop::main().advance(0.01);
  EXPECT_EQ(follows, 1);
  EXPECT_TRUE(weak.expired());
  RunLoop::main().advance(5);
  EXPECT_EQ(follows, 1);
}

// --- spinner ----------------------------------------------------------------------------------------

TEST_F(NVXViewControllerTest, SpinnerOutsideANavigationControllerRunsNeitherCallback) {
  auto screen = std::make_shared<TestScreen>();
  screen->view();
  std::atomic<int> runs{0};
  screen->showSpinnerWhen([&] { ++runs; }, [&] { ++runs; });
  RunLoop::main().runUntil([] { return false; }, platform::secs(1));
  EXPECT_EQ(runs.load(), 0);
  EXPECT_TRUE(overlays().empty());
}

TEST_F(NVXViewControllerTest, SpinnerRunsTheWorkOffTheMainThreadAndTheCompletionOnceOnIt) {
  auto screen = pushed();
  HudExt::prompt("旧的提示");
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> workOnMain{true};
  std::atomic<bool> workDone{false};
  int completions = 0;
  bool completionOnMain = false;
  bool spinnerGoneAtCompletion = false;

  screen->showSpinnerWhen(
      [&, released] {
        workOnMain = RunLoop::main().isMainThread();
        platform::Thread::Idle idle;  // waits for the test, not for the clock
        released.wait();
        workDone = true;
      },
      [&] {
        ++completions;
        completionOnMain = RunLoop::main().isMainThread();
        spinnerGoneAtCompletion = overlays().empty();
      });
  // The old prompt went at once; the spinner covers the window while the work runs.
  ASSERT_EQ(overlays().size(), 1u);
  EXPECT_EQ(overlays()[0]->mode(), Hud::Mode::Spinner);

  // The screen is popped meanwhile: it stays alive for its completion, then goes.
  std::weak_ptr<TestScreen> weak = screen;
  services->navigation->pop(false);
  screen.reset();
  RunLoop::main().runUntilIdle();
  EXPECT_FALSE(weak.expired());
  EXPECT_EQ(completions, 0);

  release.set_value();
  // The worker wakes in real time and posts the completion.
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return completions > 0; }, std::chrono::seconds(5)));
  RunLoop::main().advance(1);
  EXPECT_TRUE(workDone);
  EXPECT_FALSE(workOnMain);
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(completionOnMain);
  EXPECT_TRUE(spinnerGoneAtCompletion);
  EXPECT_TRUE(weak.expired());
}

// --- contact picker -------------------------------------------------------------------------------

TEST_F(NVXViewControllerTest, PhoneNumbersAContactOffers) {
  using Phones = std::vector<platform::LabeledValue>;
  using Offered = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    const char* name;
    Phones phones;
    Offered offered;
  };
  const Case cases[] = {
      {"+86 with spaces and dashes", {{"", "+86 138-0013 8000"}}, {{"13800138000", "13800138000"}}},
      {"86 without plus, brackets", {{"", "(86)13900139000"}}, {{"13900139000", "13900139000"}}},
      {"labelled",
       {{platform::PhoneLabel::Mobile, "138 0013 8000"}, {"工作", "139-0013-9000"}},
       {{"13800138000（手机）", "13800138000"}, {"13900139000（工作）", "13900139000"}}},
      {"not mobile numbers", {{platform::PhoneLabel::Home, "010-8888 6666"}, {"", "1380013800"}, {"", "23800138000"}}, {}},
      {"86 inside stays", {{"", "13886000000"}}, {{"13886000000", "13886000000"}}},
  };
  for (const auto& c : cases) {
    platform::Person person;
    person.phones = c.phones;
    EXPECT_EQ(NVXViewController::candidatePhoneNumbersOf(person), c.offered) << c.name;
  }
}

class ContactPickerTest : public NVXViewControllerTest {
 protected:
  void SetUp() override {
    NVXViewControllerTest::SetUp();
    auto& book = platform::AddressBook::shared();
    book.setAuthorizationStatus(platform::AddressBookAuthorization::Authorized);
    book.addPerson(platform::Person{0, "一", "张", {{"", "+86 138-0013 8000"}}});
    book.addPerson(platform::Person{0, "二", "李",
                                    {{platform::PhoneLabel::Mobile, "13800138000"},
                                     {platform::PhoneLabel::Home, "010-66668888"},
                                     {platform::PhoneLabel::IPhone, "139 0013 9000"}}});
    book.addPerson(platform::Person{0, "三", "王", {{platform::PhoneLabel::Home, "010-66668888"}}});
    screen = pushed();
    screen->getPhoneNumberFromAddressBook();
    settle();
    picker = std::dynamic_pointer_cast<platform::ui::ContactPicker>(services->navigation->presentedViewController());
    ASSERT_TRUE(picker);
  }
  bool pickerShown() const { return services->navigation->presentedViewController() != nullptr; }

  std::shared_ptr<TestScreen> screen;
  std::shared_ptr<platform::ui::ContactPicker> picker;
};

TEST_F(ContactPickerTest, AContactWithOneMobileNumberGivesItAtOnce) {
  EXPECT_EQ(picker->peoplePickerDelegate(), std::static_pointer_cast<platform::ui::ContactPickerDelegate>(screen));
  ASSERT_TRUE(picker->choosePerson(0));
  EXPECT_EQ(screen->numbers, std::vector<std::string>{"13800138000"});
  EXPECT_TRUE(platform::ui::ActionSheet::visible().empty());
  settle();
  EXPECT_FALSE(pickerShown());
  // The picker never went on to the person's details.
  EXPECT_EQ(picker->stack().size(), 1u);
}

TEST_F(ContactPickerTest, SeveralNumbersAreOfferedInASheetWithCancelLast) {
  ASSERT_TRUE(picker->choosePerson(1));
  EXPECT_TRUE(screen->numbers.empty());
  auto sheet = Inspector().topSheet();
  ASSERT_TRUE(sheet);
  EXPECT_EQ(sheet->title(), "请选择您需要使用的手机号码");
  ASSERT_EQ(sheet->numberOfButtons(), 3);
  EXPECT_EQ(sheet->buttonTitleAtIndex(0), "13800138000（手机）");
  EXPECT_EQ(sheet->buttonTitleAtIndex(1), "13900139000（iPhone）");
  EXPECT_EQ(sheet->buttonTitleAtIndex(2), "取消");
  EXPECT_EQ(sheet->cancelButtonIndex(), 2);
  EXPECT_EQ(screen->candidatePhoneNumbers().size(), 2u);

  ASSERT_TRUE(Inspector().chooseInSheet("13900139000（iPhone）").isOk());
  EXPECT_EQ(screen->numbers, std::vector<std::string>{"13900139000"});
  settle();
  EXPECT_FALSE(pickerShown());
}

TEST_F(ContactPickerTest, CancellingTheSheetKeepsThePickerAndCancellingThePickerCloses) {
  ASSERT_TRUE(picker->choosePerson(1));
  ASSERT_TRUE(Inspector().chooseInSheet("取消").isOk());
  settle();
  EXPECT_TRUE(screen->numbers.empty());
  EXPECT_TRUE(pickerShown());
  picker->cancel();
  settle();
  EXPECT_FALSE(pickerShown());
  EXPECT_TRUE(screen->numbers.empty());
}

TEST_F(ContactPickerTest, AContactWithoutAMobileNumberGivesAnAlertAndThePickerStays) {
  ASSERT_TRUE(picker->choosePerson(2));
  auto alert = AlertView::top();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->title(), "选取失败");
  EXPECT_EQ(alert->message(), "此联系人没有可供使用的手机号码\n请重新选择");
  ASSERT_EQ(alert->numberOfButtons(), 1);
  EXPECT_EQ(alert->buttonTitleAtIndex(0), "确定");
  ASSERT_TRUE(Inspector().answerAlert("确定").isOk());
  settle();
  EXPECT_TRUE(pickerShown());
  EXPECT_TRUE(screen->numbers.empty());
}

// --- keypads ------------------------------------------------------------------------------------

TEST_F(NVXViewControllerTest, DoneBarsForTheNumberAndDecimalKeypads) {
  using platform::ui::KeyboardType;
  const std::pair<void (*)(platform::ui::TextField&), KeyboardType> cases[] = {
      {&NVXViewController::addDoneButtonForNumberPad, KeyboardType::NumberPad},
      {&NVXViewController::addDoneButtonForDecimalPad, KeyboardType::DecimalPad},
  };
  auto screen = pushed();
  for (const auto& [add, keyboard] : cases) {
    auto field = platform::ui::TextField::create(platform::ui::Rect{10, 10, 200, 30});
    screen->view()->addSubview(field);
    field->setInputView(platform::ui::View::create(platform::ui::Rect{0, 0, 320, 216}));
    add(*field);
    EXPECT_EQ(field->keyboardType(), keyboard);
    EXPECT_EQ(field->inputView(), nullptr);
    auto bar = std::dynamic_pointer_cast<platform::ui::Toolbar>(field->inputAccessoryView());
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->frame(), (platform::ui::Rect{0, 0, 320, 44}));
    EXPECT_EQ(bar->barStyle(), platform::ui::BarStyle::BlackTranslucent);
    ASSERT_EQ(bar->items().size(), 2u);
    EXPECT_EQ(bar->items()[0]->systemItem(), platform::ui::BarButtonSystemItem::FlexibleSpace);
    EXPECT_EQ(bar->items()[1]->systemItem(), platform::ui::BarButtonSystemItem::Done);

    ASSERT_TRUE(field->becomeFirstResponder());
    bar->items()[1]->trigger();
    EXPECT_FALSE(field->isFirstResponder());
  }
}

// --- the token-expiry alert -------------------------------------------------------------------------

TEST_F(NVXViewControllerTest, TokenExpiryAlertPushesTheLoginScreenAndForgetsTheReader) {
  ScreenRegistry::shared().add(LoginScreen::kClassName, [] { return std::make_shared<TestLoginScreen>(); });
  for (bool onStack : {true, false}) {
    SCOPED_TRACE(onStack ? "screen on the stack" : "screen outside a stack");
    User::currentUser().setPsamId("ABCDEF0123456789");
    auto screen = onStack ? pushed() : std::make_shared<TestScreen>();
    auto alert = NVXResponseErrorHandler::makeReloginAlert("登录已过期");
    alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(screen));
    alert->show();
    ASSERT_TRUE(Inspector().answerAlert("重新登录").isOk());
    auto login = std::dynamic_pointer_cast<TestLoginScreen>(services->navigation->topViewController());
    ASSERT_TRUE(login);
    EXPECT_EQ(login->boxTitle, "重新登录");
    EXPECT_TRUE(services->navigation->lastTransitionAnimated());
    EXPECT_EQ(User::currentUser().psamId(), "");
    settle();
    services->navigation->popToRoot(false);
  }
}

// --- standing regressions -------------------------------------------------------------------------

// Every screen class known by name so far, and the base classes, is let go once popped.
TEST_F(NVXViewControllerTest, EveryScreenIsReleasedWhenPopped) {
  std::vector<std::pair<std::string, ScreenRegistry::Factory>> classes = {
      {"NVXViewController", [] { return NVXViewController::create(); }},
      {"NVXBaseViewController",
       [] {
         auto screen = NVXBaseViewController::create();
         screen->view();
         screen->addNextButton(platform::ui::Point{160, 300});
         screen->initNavRightBarItem("刷新", [](NVXBaseViewController&) {});
         return screen;
       }},
      {"NVXTableViewController",
       [] {
         auto table = NVXTableViewController::create();
         table->view();
         table->addGroupTableView();
         table->addNextButton(platform::ui::Point{160, 300});
         table->view()->addSubview(table->defaultGroupCellAccessoryPickTelButton());
         return table;
       }},
  };
  EXPECT_EQ(testing::screensNotReleased(*services->navigation, classes), std::vector<std::string>{});
  EXPECT_EQ(testing::screensNotReleased(*services->navigation), std::vector<std::string>{});
}

}  // namespace
}  // namespace nvx
