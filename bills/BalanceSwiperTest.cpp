// The balance inquiry: the start-up decision between the plug-in prompt and the swipe form, the
// presence watcher and the reader events, the reader alert that keeps the screen, the login for
// a reader of another user, and the inquiry sent as the swipe screen's commit.
#include <gtest/gtest.h>

#include "bills/BalanceSwiperViewController.h"
#include "bills/BillsScreens.h"
#include "core/crypto/EncryptTool.h"
#include "core/session/User.h"
#include "core/testing/CipherTestOracle.h"
#include "pay/Tools.h"
#include "pay/testing/PayScreenTest.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/AudioSession.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Inspector.h"
#include "reader/ReaderModels.h"
#include "reader/SwiperUtil.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::Strings;
using platform::ui::AlertView;
using platform::ui::Inspector;
using testing::FakePayOperations;
using Names = std::vector<std::string>;

constexpr const char* kKsn = "ABCDEF0123456789";
constexpr const char* kClearTpk = "0123456789ABCDEFFEDCBA9876543210";
constexpr const char* kClearPik = "1111222233334444AAAABBBBCCCCDDDD";

class BalanceSwiperTest : public testing::PayScreenTest {
 protected:
  void SetUp() override {
    User& user = User::currentUser();
    user.setLoginName("13800000000");
    user.setUserToken("token-1");
    ScreenRegistry::shared().add(LoginScreen::kClassName, [] { return std::make_shared<testing::TestLoginScreen>(); });
    ScreenRegistry::shared().add(BalanceSwiperViewController::kBuyReaderClassName, [] {
      return std::make_shared<testing::NamedTestScreen>(BalanceSwiperViewController::kBuyReaderClassName);
    });
    recordResults({PayResultScreen::kReceiptClassName});
    // Something another business left pending: the inquiry must replace it.
    Tools::sharedInstance().setInfo({{"busid", "M20013"}, {"srcsid", "Q9"}}, "https://host/iphone/commitTransaction.json");
  }

  // The reader terminal's keys in the session: its id and clear TPK and PIK.
  static void signIn() {
    User& user = User::currentUser();
    std::string transport(EncryptTool::getXorString().view());
    user.setPsamId(kKsn);
    user.setPsamTPK(Json{{kKsn, testing::tripleDesEncrypt(transport, kClearTpk)}});
    user.setPsamPIK(Json{{kKsn, testing::tripleDesEncrypt(kClearTpk, kClearPik)}});
  }
  // A hub without a driver (no reader model chosen), the headset route as given.
  void startWithoutDriver(const char* route) {
    services = std::make_shared<testing::PayTestServices>();
    AppServices::install(services);
    platform::UserDefaults::standard().remove(reader::ReaderModels::kCommonUnitIdKey);
    platform::media::AudioSession::sharedInstance().simulateRouteChange(route);
    services->makeHub();
  }

  std::shared_ptr<BalanceSwiperViewController> open() {
    auto screen = BalanceSwiperViewController::create();
    screen->setOperations(ops);
    services->navigation->push(screen, false);
    RunLoop::main().advance(0.01);
    (void)screen->tableView()->numberOfSections();  // shown: the table has loaded
    return screen;
  }
  static int sections(BalanceSwiperViewController& screen) { return screen.tableView()->numberOfSections(); }
  static Names storedNames() {
    Names names;
    for (const auto& f : Tools::sharedInstance().infoDic()) names.push_back(f.key);
    return names;
  }

  std::shared_ptr<FakePayOperations> ops = std::make_shared<FakePayOperations>();
};

TEST_F(BalanceSwiperTest, TheScreenIsTheSwipeScreenOfTypeZeroWithItsOwnComment) {
  bills::registerScreens();
  startReader();
  auto screen = open();
  EXPECT_EQ(screen->businessType(), 0);
  EXPECT_EQ(screen->navTitle(), Strings::localized("BalanceInquiry"));
  EXPECT_EQ(screen->cardPlaceholder(), Strings::localized("DebitCardInquiryPlace"));
  EXPECT_EQ(screen->passwordPlaceholder(), Strings::localized("DebitCardInquiryPasswordPlace"));
  ASSERT_TRUE(screen->commentLabel());
  EXPECT_EQ(screen->commentLabel()->text(), "*支持所有银联借记卡");
  EXPECT_EQ(screen->commentLabel()->tag(), 1001);
  EXPECT_EQ(screen->stepIdentifier(), "M30000_1");
}

// The start-up decision by what the hub sees and whether the terminal has its keys.
TEST_F(BalanceSwiperTest, StartUpShowsTheFormOnlyForAReaderWithALegalTerminal) {
  struct Case {
    const char* name;
    const char* route;
    bool legal;
    bool form;          // the swipe form at once (the inquiry prepared)
    bool gateLater;     // the gate runs 0.5 s later
  };
  const Case cases[] = {
      {"reader, legal terminal", "HeadsetInOut", true, true, false},
      {"reader, no keys", "HeadsetInOut", false, false, true},
      {"no reader, legal terminal", "Speaker", true, false, false},
      {"no reader, no keys", "Speaker", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    User::currentUser().forgetReader();
    if (c.legal) signIn();
    Tools::sharedInstance().setInfo({{"busid", "M20013"}}, "https://host/iphone/commitTransaction.json");
    startReader();
    platform::media::AudioSession::sharedInstance().simulateRouteChange(c.route);
    const int startsBefore = driver->starts;
    auto screen = open();
    EXPECT_EQ(screen->isPlugin(), c.form);
    EXPECT_EQ(sections(*screen), c.form ? 1 : 2);
    EXPECT_EQ(Tools::sharedInstance().infoValue("busid"), c.form ? "M30000" : "M20013");
    // The form restarts the reader as it appears; the prompt leaves it alone.
    EXPECT_EQ(driver->starts - startsBefore, c.form ? 1 : 0);
    EXPECT_FALSE(screen->isGatePending());
    RunLoop::main().advance(0.6);
    EXPECT_EQ(screen->isGatePending(), c.gateLater);
    services->navigation->pop(false);
    RunLoop::main().advance(1);
    AlertView::dismissAll();
  }
}

TEST_F(BalanceSwiperTest, TheInquiryIsStoredInItsOwnFieldOrderReplacingWhatWasPending) {
  signIn();
  startReader();
  auto screen = open();
  EXPECT_EQ(storedNames(), (Names{"uid", "vercode", "busid", "termid", "mobile", "userToken"}));
  EXPECT_EQ(Tools::sharedInstance().infoValue("termid"), kKsn);
  EXPECT_EQ(Tools::sharedInstance().infoValue("mobile"), "13800000000");
  EXPECT_EQ(Tools::sharedInstance().infoValue("userToken"), "token-1");
  EXPECT_FALSE(Tools::sharedInstance().infoValue("srcsid"));
  EXPECT_TRUE(Tools::sharedInstance().url().ends_with("/queryTrans.json")) << Tools::sharedInstance().url();
}

TEST_F(BalanceSwiperTest, ThePromptShowsItsButtonsAndBuyOpensThePurchaseScreen) {
  startWithoutDriver("Speaker");
  auto screen = open();
  EXPECT_FALSE(screen->isPlugin());
  Inspector in;
  EXPECT_TRUE(in.byText("请将刷卡器插入手机的耳机孔"));
  EXPECT_TRUE(in.byText("* 支持所有银联借记卡"));
  EXPECT_EQ(screen->cardSwipeView()->text(), "请插入刷卡器");
  EXPECT_FALSE(screen->bt1()->isEnabled());
  EXPECT_FALSE(screen->bt1()->tap());
  ASSERT_TRUE(screen->bt2()->tap());
  RunLoop::main().advance(1);
  EXPECT_EQ(topClass(), "BuyNuvexaViewController");
}

TEST_F(BalanceSwiperTest, TheWatcherEnablesThePluggedButtonButKeepsThePromptUntilItIsTapped) {
  startWithoutDriver("Speaker");
  auto screen = open();
  auto& session = platform::media::AudioSession::sharedInstance();

  session.simulateRouteChange("HeadsetInOut");
  RunLoop::main().advance(0.1);
  EXPECT_FALSE(screen->bt1()->isEnabled()) << "the watcher polls every 0.15 s";
  RunLoop::main().advance(0.1);
  EXPECT_TRUE(screen->bt1()->isEnabled());
  EXPECT_TRUE(screen->isPlugin());
  EXPECT_EQ(sections(*screen), 2) << "the prompt stays until the table reloads";
  EXPECT_TRUE(Inspector().byText("请将刷卡器插入手机的耳机孔"));

  session.simulateRouteChange("Speaker");
  RunLoop::main().advance(0.2);
  EXPECT_FALSE(screen->bt1()->isEnabled());
  EXPECT_FALSE(screen->isPlugin());

  // Once the screen has gone, the watcher stops: nothing reaches it any more.
  services->navigation->pop(false);
  RunLoop::main().advance(1);
  session.simulateRouteChange("HeadsetInOut");
  RunLoop::main().advance(0.5);
  EXPECT_FALSE(screen->bt1()->isEnabled());
}

TEST_F(BalanceSwiperTest, ThePluggedButtonRunsTheGateAndAPassedGateShowsTheForm) {
  signIn();
  startReader();
  platform::media::AudioSession::sharedInstance().simulateRouteChange("Speaker");
  auto screen = open();
  ASSERT_FALSE(screen->isPlugin());
  // The reader comes: the hub reports it; the user taps "我已插上".
  platform::media::AudioSession::sharedInstance().simulateRouteChange("HeadsetInOut");
  services->hub->onDevicePlugged();
  signIn();  // the application forgets the reader's keys on a plug; the terminal signs in again
  ASSERT_TRUE(screen->bt1()->isEnabled());
  ASSERT_TRUE(screen->bt1()->tap());
  RunLoop::main().advance(1);
  EXPECT_TRUE(screen->isPlugin());
  EXPECT_EQ(sections(*screen), 1);
  EXPECT_EQ(Tools::sharedInstance().infoValue("busid"), "M30000");
}

TEST_F(BalanceSwiperTest, AMissingPinKeyAtSubmitKeepsTheScreenOrAnswersTheCallingApp) {
  for (bool calledByApp : {false, true}) {
    SCOPED_TRACE(calledByApp ? "opened by another app" : "opened in the client");
    signIn();
    startReader();
    services->otherAppLaunching = calledByApp;
    auto screen = open();
    ASSERT_TRUE(screen->isPlugin());
    services->hub->onDecodeCompleted(std::nullopt, kKsn, "A1B2C3D4E5F60718", 24, 40, 0, "0011223344556677",
                                     "622202XXXXXX1234", "2512", std::nullopt);
    auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(screen->passwordTf()->inputView());
    ASSERT_TRUE(keypad);
    for (char c : std::string("123456")) screen->keyboadView(*keypad, c - '0');
    User::currentUser().setPsamPIK(nullptr);  // the terminal's PIN key is gone
    screen->bt1()->setEnabled(true);
    ASSERT_TRUE(screen->doneButton()->tap());
    auto alert = AlertView::top();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), SwipeViewController::kReaderAlertTag);
    ASSERT_TRUE(Inspector().answerAlert(Strings::localized("Ok")).isOk());
    RunLoop::main().advance(1);
    EXPECT_EQ(topClass(), BalanceSwiperViewController::kClassName) << "the screen stays";
    EXPECT_TRUE(ops->commits.empty());
    if (calledByApp) {
      EXPECT_EQ(services->returns, (std::vector<bool>{false}));
    } else {
      EXPECT_TRUE(services->returns.empty());
      EXPECT_FALSE(screen->bt1()->isEnabled());
    }
    services->navigation->pop(false);
    RunLoop::main().advance(1);
  }
}

TEST_F(BalanceSwiperTest, TheReaderOfAnotherUserLeadsToTheLoginForTheBalance) {
  startWithoutDriver("Speaker");
  auto screen = open();
  auto alert = AlertView::create("", "", Strings::localized("Cancel"), {Strings::localized("ReLogin")});
  alert->setTag(NVXViewController::kOtherUserReaderAlertTag);
  alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(screen));
  alert->show();
  ASSERT_TRUE(Inspector().answerAlert(Strings::localized("ReLogin")).isOk());
  RunLoop::main().advance(1);
  auto login = std::dynamic_pointer_cast<testing::TestLoginScreen>(services->navigation->topViewController());
  ASSERT_TRUE(login);
  EXPECT_EQ(login->boxTitle, "subBalance");
  EXPECT_EQ(login->delegate.lock().get(), static_cast<LoginViewControllerDelegate*>(screen.get()));
}

// The swipe screen's PIN rule for type 0 and the inquiry it then sends: the card fields added to
// the stored request, the receipt of type 0.
TEST_F(BalanceSwiperTest, TheInquiryNeedsASixDigitPinAndLeadsToTheBalanceReceipt) {
  struct Case {
    const char* pin;
    bool sent;
  };
  for (const Case& c : {Case{"", false}, Case{"12345", false}, Case{"123456", true}}) {
    SCOPED_TRACE(std::string("PIN ") + c.pin);
    signIn();
    startReader();
    results.clear();
    ops->commits.clear();
    ops->replies = {PayReply::answered("0000", "", Json{{"pan", "622202******1234"}, {"sytm", "20261211"}, {"amount", "1234567"}})};
    auto screen = open();
    services->hub->onDecodeCompleted(std::nullopt, kKsn, "A1B2C3D4E5F60718", 24, 40, 0, "0011223344556677",
                                     "622202XXXXXX1234", "2512", std::nullopt);
    auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(screen->passwordTf()->inputView());
    for (const char* p = c.pin; *p; ++p) screen->keyboadView(*keypad, *p - '0');
    ASSERT_TRUE(screen->doneButton()->tap());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !screen->isCommitRunning(); }, platform::secs(5)));
    RunLoop::main().advance(1);
    ASSERT_EQ(ops->commits.size(), c.sent ? 1u : 0u);
    if (!c.sent) {
      EXPECT_EQ(prompt(), "请输入正确的密码");
    } else {
      EXPECT_TRUE(ops->commits[0].url.ends_with("/queryTrans.json"));
      EXPECT_EQ(FakePayOperations::value(ops->commits[0], "busid"), "M30000");
      EXPECT_TRUE(ops->commits[0].card.pinkey);
      ASSERT_EQ(results.size(), 1u);
      EXPECT_EQ(results[0]->businessType, 0);
      EXPECT_EQ(results[0]->transactionBusId, "M30000");
    }
    services->navigation->popToRoot(false);
    RunLoop::main().advance(1);
  }
}

}  // namespace
}  // namespace nvx
