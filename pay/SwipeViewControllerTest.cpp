// The swipe screen against a reader driver under the test's hand and scripted server operations:
// the reader start, the reader events in the status row, the Done rule, the fee inquiry and the
// routing of every kind of commit outcome.
#include <gtest/gtest.h>

#include "core/crypto/EncryptTool.h"
#include "core/session/User.h"
#include "core/shell/ScreenRegistry.h"
#include "core/testing/CipherTestOracle.h"
#include "pay/SwipeTimeOutViewController.h"
#include "pay/SwipeViewController.h"
#include "pay/SwiperCommitFailViewController.h"
#include "pay/Tools.h"
#include "pay/testing/PayScreenTest.h"
#include "pay/testing/PayTestSupport.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/AudioSession.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Hud.h"
#include "platform/ui/Inspector.h"
#include "reader/ReaderModels.h"
#include "reader/SwiperDriverFactory.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::Strings;
using platform::ui::AlertView;
using platform::ui::Hud;
using platform::ui::Inspector;
using testing::FakePayOperations;
using testing::PayTestServices;
using testing::RecordingResultScreen;
using testing::ScriptedPayDriver;
using Kind = PayReply::Kind;

constexpr const char* kKsn = "ABCDEF0123456789";
constexpr const char* kClearTpk = "0123456789ABCDEFFEDCBA9876543210";
constexpr const char* kClearPik = "1111222233334444AAAABBBBCCCCDDDD";
constexpr const char* kTracks = "A1B2C3D4E5F60718";
constexpr const char* kRandom = "0011223344556677";

class Collection : public SwipeViewDelegate {
 public:
  void swipeView(SwipeViewController&, const std::shared_ptr<void>& entry) override { entries.push_back(entry); }
  std::vector<std::shared_ptr<void>> entries;
};

class SwipeScreenTest : public testing::PayScreenTest {
 protected:
  void SetUp() override {
    startReader();

    recordResults({PayResultScreen::kReceiptClassName, PayResultScreen::kCheckoutResultClassName});
    User& user = User::currentUser();
    user.setLoginName("13800000000");
    user.setUserToken("token-1");
    signIn();
    Tools::sharedInstance().setInfo({{"busid", "M20013"}, {"srcsid", "Q2026"}, {"amount", "100.00"}},
                                    "https://host/iphone/commitTransaction.json");
  }

  // The reader's terminal signed in: its id and clear PIN key in the session.
  void signIn() {
    User& user = User::currentUser();
    std::string transport(EncryptTool::getXorString().view());
    user.setPsamId(kKsn);
    user.setPsamTPK(Json{{kKsn, testing::tripleDesEncrypt(transport, kClearTpk)}});
    user.setPsamPIK(Json{{kKsn, testing::tripleDesEncrypt(kClearTpk, kClearPik)}});
    ASSERT_TRUE(user.psamPIK());
  }

  std::shared_ptr<SwipeViewController> open(int type) {
    auto screen = SwipeViewController::create();
    screen->customizeSwipeViewWithNavTitle("刷卡支付", std::nullopt, "请刷卡", "请输入密码", std::nullopt, "确认支付", type);
    screen->setTransactionData(Json{{"K_TRANSACTION_TARGET", "8800123"}, {"K_TRANSACTION_AMOUNT", "100.00"}});
    screen->setOperations(ops);
    services->navigation->push(screen, false);
    RunLoop::main().advance(1);
    return screen;
  }

  void swipe(const std::string& masked = "622202XXXXXX1234") {
    services->hub->onDecodeCompleted(std::nullopt, kKsn, kTracks, 24, 40, 0, kRandom, masked, "2512", std::nullopt);
  }
  static void typePin(SwipeViewController& screen, std::string_view pin) {
    auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(screen.passwordTextField()->inputView());
    ASSERT_TRUE(keypad);
    for (char c : pin) screen.keyboadView(*keypad, c - '0');
  }
  // Done, and the commit's way back to the main thread.
  void done(SwipeViewController& screen) {
    ASSERT_TRUE(screen.doneButton()->tap());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !screen.isCommitRunning(); }, platform::secs(5)));
    RunLoop::main().advance(1);
  }

  std::shared_ptr<FakePayOperations> ops = std::make_shared<FakePayOperations>();
};

TEST_F(SwipeScreenTest, TheReaderStartsOnLoadWhenPresentAndIdleExceptForTheBalanceInquiry) {
  open(2);
  EXPECT_EQ(driver->starts, 1);
  open(0);
  EXPECT_EQ(driver->starts, 1);
  EXPECT_TRUE(Inspector().byText("刷卡器使用说明"));
}

TEST_F(SwipeScreenTest, ABusyReaderGivesTheReaderAlertWhoseDismissalLeavesTheScreen) {
  driver->state = 2;
  auto screen = open(3);
  EXPECT_EQ(driver->starts, 0);
  auto alert = AlertView::top();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->tag(), SwipeViewController::kReaderAlertTag);
  EXPECT_EQ(alert->message(), Strings::localized("SwipeNotRead"));
  ASSERT_TRUE(Inspector().answerAlert(Strings::localized("Ok")).isOk());
  RunLoop::main().advance(1);
  EXPECT_EQ(topClass(), "HomeViewController");
}

TEST_F(SwipeScreenTest, WithoutAReaderThePromptAsksForOneAndPluggingStartsIt) {
  platform::media::AudioSession::sharedInstance().simulateRouteChange("Speaker");
  services->makeHub();
  auto screen = open(2);
  EXPECT_EQ(prompt(), Strings::localized("SwipeNotInserted"));
  EXPECT_EQ(AlertView::top(), nullptr);
}

TEST_F(SwipeScreenTest, ReaderEventsMoveTheStatusRowAndAGoodSwipeKeepsTracksAndShowsTheMaskedNumber) {
  auto screen = open(2);
  auto row = screen->cardSwipeStatusView();
  EXPECT_EQ(row->text(), "等待设备...");
  services->hub->onWaitingForCardSwipe();
  EXPECT_EQ(row->text(), "请刷卡");
  EXPECT_TRUE(row->swipeAnimationView()->isAnimating());
  services->hub->onCardSwipeDetected();
  EXPECT_EQ(row->text(), "      " + Strings::localized("SwipeDetected"));
  services->hub->onDecodingStart();
  EXPECT_EQ(row->text(), "       ");
  swipe();
  EXPECT_EQ(row->text(), "622202******1234");
  EXPECT_FALSE(row->afreshSwipeButton()->isHidden());
  EXPECT_EQ(screen->track(), kTracks);
  EXPECT_EQ(screen->randomNumber(), kRandom);
  EXPECT_TRUE(screen->passwordTextField()->isEditing());

  services->hub->onTimeout();
  EXPECT_EQ(row->text(), "      超时，请在30秒内刷卡");
  EXPECT_EQ(prompt(), "超时，请在30秒内刷卡");
  EXPECT_TRUE(screen->track().empty());
  services->hub->onNoDeviceDetected();
  EXPECT_EQ(row->text(), "      未识别设备");
}

TEST_F(SwipeScreenTest, ADecodeErrorOfAnyKindGivesOnePromptAndRestartsTheReaderAfterOneSecond) {
  for (int kind : {0, 1, 2, 3, 9}) {
    SCOPED_TRACE(kind);
    auto screen = open(2);
    swipe();
    const int starts = driver->starts;
    services->hub->onDecodeError(kind);
    EXPECT_EQ(prompt(), Strings::localized("CSwiperControllerDecodeResultSwipeFail"));
    EXPECT_TRUE(screen->track().empty());
    RunLoop::main().advance(0.9);
    EXPECT_EQ(driver->starts, starts);
    RunLoop::main().advance(0.2);
    EXPECT_EQ(driver->starts, starts + 1);
    services->navigation->popToRoot(false);
    RunLoop::main().advance(2);
  }
}

TEST_F(SwipeScreenTest, UnpluggingShowsTheAlertOnceAndChangesNothingWhileTheCommitRuns) {
  auto screen = open(2);
  services->hub->onDeviceUnplugged();
  services->hub->onDeviceUnplugged();
  EXPECT_EQ(AlertView::visible().size(), 1u);
  EXPECT_EQ(AlertView::top()->message(), Strings::localized("SwipePullOut"));
  EXPECT_EQ(screen->cardSwipeStatusView()->text(), "      已中断");
}

TEST_F(SwipeScreenTest, TheDoneRuleAsksForASwipeThenAPinAcceptableForTheType) {
  struct Case {
    int type;
    const char* pin;
    std::optional<std::string> prompt;   // nothing: the commit goes out
    bool pinkey;
  };
  const Case cases[] = {
      {2, "", "请输入正确的密码", false},
      {2, "12345", "请输入正确的密码", false},
      {2, "123456", std::nullopt, true},
      {3, "", std::nullopt, false},
      {3, "12345", "请输入正确的密码", false},
      {3, "123456", std::nullopt, true},
      {37, "", "请输入正确的密码", false},
      {40, "", std::nullopt, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " " + c.pin);
    auto screen = open(c.type);
    ASSERT_TRUE(screen->doneButton()->tap());
    EXPECT_EQ(prompt(), "请先刷卡");
    RunLoop::main().advance(2);
    swipe();
    typePin(*screen, c.pin);
    const size_t commits = ops->commits.size();
    ops->replies.push_back(PayReply::answered("0055", "请稍后再试"));
    done(*screen);
    if (c.prompt) {
      EXPECT_EQ(prompt(), *c.prompt);
      EXPECT_EQ(ops->commits.size(), commits);
      ops->replies.clear();
    } else {
      ASSERT_EQ(ops->commits.size(), commits + 1);
      const auto& card = ops->commits.back().card;
      EXPECT_EQ(card.otrack, kTracks);
      EXPECT_EQ(card.rnd, kRandom);
      EXPECT_EQ(card.pinkey.has_value(), c.pinkey);
      if (c.pinkey) {
        EXPECT_EQ(card.pinkey->size(), 256u);
      }
    }
    AlertView::dismissAll();
    services->navigation->popToRoot(false);
    RunLoop::main().advance(2);
  }
}

TEST_F(SwipeScreenTest, WithoutAPinKeyForTheReaderTheScreenLeavesBehindTheReaderAlert) {
  auto screen = open(2);
  swipe();
  typePin(*screen, "123456");
  User::currentUser().setPsamPIK(Json());
  ASSERT_TRUE(screen->doneButton()->tap());
  EXPECT_TRUE(ops->commits.empty());
  EXPECT_TRUE(screen->wantToDisappear());
  ASSERT_TRUE(Inspector().answerAlert(Strings::localized("Ok")).isOk());
  RunLoop::main().advance(1);
  EXPECT_EQ(topClass(), "HomeViewController");
}

TEST_F(SwipeScreenTest, EveryOutcomeGoesWhereItsKindLeads) {
  struct Case {
    const char* name;
    PayReply reply;
    std::string top;                        // the screen in front afterwards
    std::optional<std::string> alert;       // the alert's message
    bool swipeKept;
    std::optional<std::string> failText;    // the failure page's text
  };
  const Case cases[] = {
      {"gateway time-out", PayReply::failed(Kind::OutcomeUnknown), SwipeTimeOutViewController::kClassName,
       std::nullopt, true, std::nullopt},
      {"1030", PayReply::answered("1030", "交易超时"), SwipeTimeOutViewController::kClassName, std::nullopt, true,
       std::nullopt},
      {"0055", PayReply::answered("0055", "余额不足"), SwipeViewController::kClassName, "余额不足", true, std::nullopt},
      {"0099", PayReply::answered("0099", "请重试"), SwipeViewController::kClassName, "请重试", true, std::nullopt},
      {"00P4", PayReply::answered("00P4", ""), SwipeViewController::kClassName,
       "您的转出卡张数超限，点击“立即申请”可增加您的可用银行卡数量", true, std::nullopt},
      {"session expired", PayReply::failed(Kind::SessionExpired), SwipeViewController::kClassName, std::nullopt, true,
       std::nullopt},
      {"refused", PayReply::answered("2001", "卡号无效"), SwiperCommitFailViewController::kClassName, std::nullopt,
       false, "卡号无效"},
      {"refused without a message", PayReply::answered("2001", ""), SwiperCommitFailViewController::kClassName,
       std::nullopt, false, Strings::localized("Error_Unknown")},
      {"not sent", PayReply::failed(Kind::NotSent), SwiperCommitFailViewController::kClassName, std::nullopt, false,
       Strings::localized("NetworkConnectionFailed")},
      {"unreadable reply", PayReply::failed(Kind::BadReply), SwiperCommitFailViewController::kClassName, std::nullopt,
       false, Strings::localized("Error_Data")},
      {"paid", PayReply::answered("0000", "", Json{{"sysref", "R1"}}), PayResultScreen::kReceiptClassName,
       std::nullopt, true, std::nullopt},
      {"paid without data", PayReply::answered("0000", ""), PayResultScreen::kReceiptClassName, std::nullopt, true,
       std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto screen = open(2);
    swipe();
    typePin(*screen, "123456");
    ops->replies.push_back(c.reply);
    done(*screen);
    EXPECT_EQ(topClass(), c.top);
    auto alert = AlertView::top();
    EXPECT_EQ(alert ? std::optional<std::string>(alert->message()) : std::nullopt, c.alert);
    EXPECT_EQ(!screen->track().empty(), c.swipeKept);
    EXPECT_EQ(screen->passwordTextField()->text().empty(), !c.swipeKept);
    if (c.failText) {
      auto page = std::dynamic_pointer_cast<SwiperCommitFailViewController>(services->navigation->topViewController());
      ASSERT_TRUE(page);
      EXPECT_EQ(page->failResultStr(), *c.failText);
      EXPECT_EQ(page->businessType(), 2);
    }
    // Nothing goes out again by itself, whatever the outcome.
    RunLoop::main().advance(65);
    EXPECT_EQ(*ops->sends, static_cast<int>(ops->commits.size()));
    AlertView::dismissAll();
    services->navigation->popToRoot(false);
    RunLoop::main().advance(2);
  }
  EXPECT_EQ(ops->commits.size(), std::size(cases));
  EXPECT_EQ(ops->expiredLogins, 1);
}

TEST_F(SwipeScreenTest, TheTimeOutPageShowsTheQueryNumberAndTheSentAmount) {
  auto screen = open(2);
  swipe();
  typePin(*screen, "123456");
  ops->replies.push_back(PayReply::failed(Kind::OutcomeUnknown));
  done(*screen);
  auto page = std::dynamic_pointer_cast<SwipeTimeOutViewController>(services->navigation->topViewController());
  ASSERT_TRUE(page);
  EXPECT_EQ(page->billNumber(), "Q2026");
  EXPECT_EQ(page->amount(), "100.00");
}

TEST_F(SwipeScreenTest, SuccessOpensTheReceiptTellsTheDelegateAndPostsTheNotification) {
  std::vector<Json> notes;
  auto observation = platform::NotificationCenter::shared().observe(
      SwipeViewController::kSucceedNotification, nullptr, [&](const platform::Notification& n) { notes.push_back(n.userInfo); });
  auto collection = std::make_shared<Collection>();
  auto entry = std::make_shared<int>(7);
  auto screen = open(10);
  screen->setDelegate(collection);
  screen->setEntry(entry);
  screen->setCreditCardNumber("6225880011112222");
  swipe();
  typePin(*screen, "123456");
  ops->replies.push_back(PayReply::answered("0000", "交易成功", Json{{"sysref", "R1"}}));
  done(*screen);

  ASSERT_EQ(results.size(), 1u);
  auto receipt = results[0];
  EXPECT_EQ(services->navigation->topViewController(), receipt);
  EXPECT_EQ(receipt->businessType, 10);
  EXPECT_EQ(receipt->transactionBusId, "M20013");
  EXPECT_EQ(receipt->retData, (Json{{"sysref", "R1"}}));
  EXPECT_EQ(receipt->retStatus, "0000/交易成功");
  EXPECT_EQ(receipt->creditCardNumber, "6225880011112222");
  EXPECT_EQ(receipt->transactionData["K_TRANSACTION_TARGET"], "8800123");
  EXPECT_EQ(collection->entries, std::vector<std::shared_ptr<void>>{entry});
  EXPECT_EQ(notes, (std::vector<Json>{Json{{"kBusinessType", 10}}}));
}

TEST_F(SwipeScreenTest, AMerchantCheckoutsSuccessOpensItsResultPageWithoutTheNotification) {
  int notes = 0;
  auto observation = platform::NotificationCenter::shared().observe(
      SwipeViewController::kSucceedNotification, nullptr, [&](const platform::Notification&) { ++notes; });
  auto screen = open(14);
  EXPECT_TRUE(screen->navigationItem().hidesBackButton());
  ASSERT_TRUE(screen->cancel());
  swipe();
  ops->replies.push_back(PayReply::answered("0000", "", Json{{"sysref", "R1"}}));
  done(*screen);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0]->className(), PayResultScreen::kCheckoutResultClassName);
  EXPECT_EQ(notes, 0);
}

TEST_F(SwipeScreenTest, TheMerchantCheckoutsCancelAnswersTheMerchantWithTheFailureOnceAndLeaves) {
  auto screen = open(14);
  ASSERT_TRUE(screen->cancel()->tap());
  RunLoop::main().advance(1);
  EXPECT_EQ(services->redirects, std::vector<bool>{false});
  EXPECT_EQ(topClass(), "HomeViewController");
}

TEST_F(SwipeScreenTest, ASecondDoneWhileTheCommitRunsSendsNothingMore) {
  auto screen = open(2);
  swipe();
  typePin(*screen, "123456");
  ops->replies.push_back(PayReply::failed(Kind::OutcomeUnknown));
  ASSERT_TRUE(screen->doneButton()->tap());
  screen->doneButtonPressed();
  ASSERT_TRUE(RunLoop::main().runUntil([&] { return !screen->isCommitRunning(); }, platform::secs(5)));
  RunLoop::main().advance(1);
  EXPECT_EQ(ops->commits.size(), 1u);
}

TEST_F(SwipeScreenTest, TheLargeAmountReplyOfACalledTransferOffersTheBankAppsAlertAndItsCancelSwipesAgain) {
  services->otherAppLaunching = true;
  services->offersLimitAlert = true;
  auto screen = open(10);
  swipe();
  typePin(*screen, "123456");
  ops->replies.push_back(PayReply::answered("2002", SwipeViewController::kLargeAmountText));
  done(*screen);
  EXPECT_EQ(topClass(), SwipeViewController::kClassName);
  ASSERT_TRUE(services->limitCancel);
  EXPECT_FALSE(screen->track().empty());
  const int starts = driver->starts;
  services->limitCancel();
  EXPECT_TRUE(screen->track().empty());
  EXPECT_EQ(driver->starts, starts + 1);
}

TEST_F(SwipeScreenTest, TheSingleTransferLimitAlertTakesItsTextFromTheServerParameter) {
  struct Case {
    std::optional<Json> parameter;
    std::string message;
  };
  const std::string fallback = "转账金额超过2万元，付款银行卡需开通大额转账功能，开通后单笔转账金额提升至5万，是否开通？";
  const Case cases[] = {
      {Json::array({Json{{"dictValue", "超过限额，是否开通？|20000|50000"}}}), "超过限额，是否开通？"},
      {Json::array({Json{{"dictValue", "只有两段|20000"}}}), fallback},
      {Json::array({Json::object()}), fallback},
      {std::nullopt, fallback},
  };
  for (const auto& c : cases) {
    ops->parameter = c.parameter;
    auto screen = open(10);
    swipe();
    typePin(*screen, "123456");
    ops->replies.push_back(PayReply::answered("00E", "超限"));
    done(*screen);
    ASSERT_TRUE(AlertView::top());
    EXPECT_EQ(AlertView::top()->message(), c.message);
    EXPECT_EQ(ops->parameters.back(), "DEZZXE0/0001");
    AlertView::dismissAll();
    services->navigation->popToRoot(false);
    RunLoop::main().advance(2);
  }
}

TEST_F(SwipeScreenTest, ATransferOffersTheLargeAmountManagementWhichStartsTheSwipeAnew) {
  ScreenRegistry::shared().add("TransferBigOpenManageViewController",
                               [] { return std::make_shared<testing::NamedTestScreen>("TransferBigOpenManageViewController"); });
  auto screen = open(10);
  swipe();
  typePin(*screen, "123456");
  auto item = screen->navigationItem().rightBarButtonItem();
  ASSERT_TRUE(item);
  EXPECT_EQ(item->title(), "大额申请");
  item->trigger();
  RunLoop::main().advance(1);
  EXPECT_EQ(topClass(), "TransferBigOpenManageViewController");
  EXPECT_TRUE(screen->track().empty());
  EXPECT_TRUE(screen->passwordTextField()->text().empty());
  EXPECT_EQ(screen->cardSwipeStatusView()->text(), "      请重新刷卡");
  EXPECT_FALSE(open(2)->navigationItem().rightBarButtonItem());
}

TEST_F(SwipeScreenTest, ATrafficFinesBackButtonAsksFirstAndReturnsToTheFineStartScreenWhenItIsThere) {
  for (bool startOnStack : {true, false}) {
    SCOPED_TRACE(startOnStack);
    if (startOnStack) {
      services->navigation->push(std::make_shared<testing::NamedTestScreen>("TraficViolationChooseViewController"), false);
    }
    services->navigation->push(std::make_shared<testing::NamedTestScreen>("TVBillCreateViewController"), false);
    auto screen = open(24);
    screen->backButtonPressed();
    ASSERT_TRUE(AlertView::top());
    EXPECT_EQ(AlertView::top()->tag(), SwipeViewController::kBackConfirmAlertTag);
    ASSERT_TRUE(Inspector().answerAlert(Strings::localized("TV_Cancel_String")).isOk());
    EXPECT_EQ(topClass(), SwipeViewController::kClassName);
    screen->backButtonPressed();
    ASSERT_TRUE(Inspector().answerAlert(Strings::localized("Ok")).isOk());
    RunLoop::main().advance(1);
    EXPECT_EQ(topClass(), startOnStack ? "TraficViolationChooseViewController" : "TVBillCreateViewController");
    services->navigation->popToRoot(false);
  }
}

// --- credit-card repayment: the fee inquiry first ---------------------------------------------------

class RepaymentTest : public SwipeScreenTest {
 protected:
  void SetUp() override {
    SwipeScreenTest::SetUp();
    Tools& tools = Tools::sharedInstance();
    tools.setInfo({{"busid", "M90000"}, {"amount", "100.00"}}, "https://host/iphone/commitRemitTransaction.json");
    tools.setRequestSearchFeeInfo({{"busid", "M50001"}, {"amount", "100.00"}}, "https://host/iphone/queryTrans.json");
  }
  std::shared_ptr<SwipeViewController> swiped() {
    auto screen = open(1);
    swipe();
    typePin(*screen, "123456");
    return screen;
  }
  void done(SwipeViewController& screen) {
    ASSERT_TRUE(screen.doneButton()->tap());
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return !screen.isFeeInquiryRunning() && !screen.isCommitRunning(); }, platform::secs(5)));
    RunLoop::main().runUntilIdle();
  }
};

TEST_F(RepaymentTest, ANoFeeInquiryCommitsAtOnceWithTheInquirysSerialNumber) {
  auto screen = swiped();
  ops->replies.push_back(PayReply::answered("0000", "", Json{{"sid", "S77"}, {"fee", 0}}));
  ops->replies.push_back(PayReply::answered("0000", "", Json{{"sysref", "R1"}}));
  done(*screen);
  ASSERT_EQ(ops->inquiries.size(), 1u);
  EXPECT_EQ(ops->inquiries[0].url, "https://host/iphone/queryTrans.json");
  EXPECT_TRUE(ops->inquiries[0].card.pinkey);
  ASSERT_EQ(ops->commits.size(), 1u);
  EXPECT_EQ(FakePayOperations::value(ops->commits[0], "srcsid"), "S77");
  EXPECT_EQ(topClass(), PayResultScreen::kReceiptClassName);
}

TEST_F(RepaymentTest, AFeeIsConfirmedFirstAndCancellingKeepsTheSwipe) {
  auto screen = swiped();
  ops->replies.push_back(PayReply::answered("0000", "", Json{{"sid", "S78"}, {"fee", 150}}));
  done(*screen);
  auto alert = screen->feeAlert();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->title(), "信用卡还款手续费");
  EXPECT_EQ(alert->message(), "本次还款操作手续费: 1.50元，点击“确定”完成信用卡还款操作");
  EXPECT_TRUE(ops->commits.empty());
  ASSERT_TRUE(Inspector().answerAlert(Strings::localized("Cancel")).isOk());
  EXPECT_FALSE(screen->feeAlert());
  EXPECT_FALSE(screen->track().empty());
  EXPECT_TRUE(ops->commits.empty());

  // Done again asks again; this time the user agrees and the commit carries the serial number.
  ops->replies.push_back(PayReply::answered("0000", "", Json{{"sid", "S79"}, {"fee", "150"}}));
  ops->replies.push_back(PayReply::answered("0000", "", Json{{"sysref", "R1"}}));
  done(*screen);
  ASSERT_TRUE(Inspector().answerAlert(Strings::localized("Ok")).isOk());
  ASSERT_TRUE(RunLoop::main().runUntil([&] { return !screen->isCommitRunning(); }, platform::secs(5)));
  RunLoop::main().advance(1);
  EXPECT_EQ(ops->inquiries.size(), 2u);
  ASSERT_EQ(ops->commits.size(), 1u);
  EXPECT_EQ(FakePayOperations::value(ops->commits[0], "srcsid"), "S79");
}

TEST_F(RepaymentTest, AnUnusableInquiryReplyIsPromptedAndTheSwipeStartsAgainWithoutACommit) {
  struct Case {
    const char* name;
    PayReply reply;
    std::string prompt;
  };
  const Case cases[] = {
      {"negative fee", PayReply::answered("0000", "", Json{{"sid", "S1"}, {"fee", -150}}), Strings::localized("Error_Data")},
      {"huge fee", PayReply::answered("0000", "", Json{{"sid", "S1"}, {"fee", "99999999999999"}}),
       Strings::localized("Error_Data")},
      {"fee of the wrong type", PayReply::answered("0000", "", Json{{"sid", "S1"}, {"fee", Json::array()}}),
       Strings::localized("Error_Data")},
      {"no serial number", PayReply::answered("0000", "", Json{{"fee", 0}}), Strings::localized("Error_Data")},
      {"refused", PayReply::answered("3001", "查询失败"), "查询失败"},
      {"not sent", PayReply::failed(Kind::NotSent, Strings::localized("NetworkConnectionFailed")),
       Strings::localized("NetworkConnectionFailed")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto screen = swiped();
    ops->replies.push_back(c.reply);
    done(*screen);
    EXPECT_EQ(prompt(), c.prompt);
    EXPECT_TRUE(ops->commits.empty());
    EXPECT_TRUE(screen->track().empty());
    EXPECT_EQ(screen->feeAlert(), nullptr);
    services->navigation->popToRoot(false);
    RunLoop::main().advance(3);
  }
}

}  // namespace
}  // namespace nvx
