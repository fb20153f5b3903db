// The lottery-account top-up against the lottery stand-in (1213 -> 2213), the main-API stand-in
// (createBill, the "M50005" inquiry, the "M20013" commit) and the simulated reader box.
#include <gtest/gtest.h>

#include "app/reader/SwiperInvalidViewController.h"
#include "bills/BillsScreens.h"
#include "bills/LotteryTopUpOperations.h"
#include "bills/TicketRechargeViewController.h"
#include "bills/testing/BillsTestFixture.h"
#include "pay/SwipeResultViewController.h"
#include "lottery/core/LotteryServerConfig.h"
#include "lottery/core/StaticVariable.h"
#include "platform/device/UrlOpener.h"
#include "platform/media/Jack.h"
#include "standin/LotteryStandin.h"
#include "standin/mainapi/LotteryTopUpRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using standin::LotteryStandin;
using Scripted = standin::MainApiStandin::Scripted;
using Names = std::vector<std::string>;

// An order whose texts hold every character that means something in a query.
LotteryStandin::Order awkwardOrder() {
  LotteryStandin::Order order;
  order.merId = "8980 0001";
  order.orderId = "JVQ&orderId=forged";
  order.minCode = "MC/01?";
  order.codeSign = std::string(280, 'A') + "+b/c=d&e%f";
  order.interfaceType = "2.0+";
  order.randomNumber = "93#847=561";
  return order;
}

// The fee every inquiry adds.
void feeOf150(standin::MainApiStandin& server) {
  auto lock = server.lock();
  server.feature<standin::BillsState>().feeFen = 150;
}

class TicketRechargeTest : public testing::BillsTestFixture {
 protected:
  void SetUp() override {
    BillsTestFixture::SetUp();
    bills::registerScreens();
    LotteryStandin::Settings settings;
    settings.order = awkwardOrder();
    lottery = std::make_unique<LotteryStandin>(settings);
    ASSERT_TRUE(lottery->start().isOk());
    lottery::LotteryServerConfig::current().setBase(lottery->baseAddress());
  }
  void TearDown() override {
    if (lottery) lottery->stop();
    BillsTestFixture::TearDown();
  }

  std::shared_ptr<TicketRechargeViewController> openForm() {
    auto form = open<TicketRechargeViewController>();
    // The rules text, when the lottery session asks for it, has come and been shown.
    EXPECT_TRUE(pump([&] { return !spinnerShown() && !form->remindStr()->isLoading(); }, 5));
    return form;
  }
  void next(TicketRechargeViewController& form, const std::string& amount) {
    form.amountTextField()->setText(amount);
    ASSERT_TRUE(form.nextButton()->tap());
  }
  // Next, until the road has ended (the pay screen, a prompt or an alert).
  void runRoad(TicketRechargeViewController& form, const std::string& amount) {
    next(form, amount);
    EXPECT_TRUE(pump([&] {
      return !form.isBusy() && (swipeOnTop() || platform::ui::AlertView::top() || prompt().has_value());
    }));
  }
  std::shared_ptr<SwipeViewController> swipeOnTop() const { return std::dynamic_pointer_cast<SwipeViewController>(top()); }
  std::map<std::string, standin::LotteryTopUpState::Bill, std::less<>> bills() {
    auto lock = server->lock();
    return server->feature<standin::LotteryTopUpState>().bills;
  }
  std::string alertTitle() const {
    auto alert = platform::ui::AlertView::top();
    return alert ? alert->title() : "<none>";
  }


 public:
  std::unique_ptr<LotteryStandin> lottery;
};

TEST_F(TicketRechargeTest, AnOrderBecomesABillThatIsQueriedAndPaidByCard) {
  startBox();
  feeOf150(*server);
  lottery::StaticVariable::shared().setUid("70001");
  auto form = openForm();
  EXPECT_EQ(form->title(), "账户充值");
  EXPECT_EQ(form->stepIdentifier(), "JVQ001_10");
  runRoad(*form, "100");
  auto swipe = swipeOnTop();
  ASSERT_TRUE(swipe);

  // 1213 carried the lottery user and the amount as typed.
  auto messages = lottery->messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].digestOk);
  EXPECT_EQ(messages[0].fields, (std::vector<std::string>{"70001", "100", ""}));

  // The main server read every value of the order exactly as the lottery server wrote it, the
  // order's version first and the request hook's after it.
  const auto order = awkwardOrder();
  auto made = bills();
  ASSERT_EQ(made.size(), 1u);
  const auto& [billno, bill] = *made.begin();
  EXPECT_EQ(bill.merId, order.merId);
  EXPECT_EQ(bill.orderId, order.orderId);
  EXPECT_EQ(bill.amount, "10000");
  EXPECT_EQ(bill.minCode, order.minCode);
  EXPECT_EQ(bill.randnum, order.randomNumber);
  EXPECT_EQ(bill.macType, "1");
  EXPECT_EQ(bill.mac, order.codeSign);
  EXPECT_EQ(bill.ver, order.interfaceType);
  auto created = lastRequestTo("createBill");
  ASSERT_TRUE(created);
  Names names;
  for (const auto& f : created->queryFields) names.push_back(f.first);
  EXPECT_EQ(names, (Names{"merId", "orderId", "amount", "minCode", "randnum", "macType", "mac", "uid", "vercode",
                          "ver", "ver", "custlev"}));
  EXPECT_EQ(form->billNo(), billno);
  EXPECT_EQ(form->cnSName(), "彩票账户充值");

  // The inquiry in yuan (signed as fen), the pay screen's rows, texts and data.
  EXPECT_EQ(lastFieldNames("queryTrans"), (Names{"uid", "vercode", "busid", "termid", "mobile", "billno", "userToken"}));
  EXPECT_EQ(lastRequestTo("queryTrans")->formValue("amount"), "000000010000");
  EXPECT_EQ(lastRequestTo("queryTrans")->formValue("busid"), "M50005");
  const auto& rows = swipe->info()->labelSource();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0]->leftValue(), "充值金额");
  EXPECT_EQ(rows[0]->amount(), 10000);
  EXPECT_EQ(rows[1]->amount(), 150);
  EXPECT_EQ(rows[2]->amount(), 10150);
  EXPECT_TRUE(rows[2]->isRed());
  EXPECT_EQ(swipe->businessType(), 21);
  EXPECT_EQ(swipe->navTitle(), "账户充值");
  // The receipt reads the amount in yuan.
  EXPECT_EQ(swipe->transactionData(),
            (Json{{"K_TRANSACTION_TARGET", billno}, {"K_TRANSACTION_AMOUNT", "100.00"},
                  {"K_TRANSACTION_INFO", "测试账单"}, {"POP_CONTROLER", "TicketRechargeViewController"}}));
  EXPECT_EQ(storedNames(),
            (Names{"uid", "vercode", "busid", "termid", "mobile", "userToken", "srcsid", "billno", "amount"}));
  EXPECT_EQ(stored("busid"), "M20013");
  EXPECT_EQ(stored("amount"), "100.00");
  EXPECT_TRUE(form->needClearView());

  ASSERT_TRUE(payByCard(*swipe));
  auto sent = commits();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].busid, "M20013");
  EXPECT_EQ(sent[0].amountFen, 10000);
  EXPECT_EQ(server->lastVerdict("commitTransaction")->retCode, "0000");

  // Back on the form, the amount is gone.
  services->navigation->popTo(*form, false);
  RunLoop::main().advance(1);
  EXPECT_EQ(form->amountTextField()->text(), "");
}

TEST_F(TicketRechargeTest, TheReceiptBringsTheUserBackToTheEmptiedForm) {
  ScreenRegistry::shared().add(PayResultScreen::kReceiptClassName, [] { return SwipeResultViewController::create(); });
  startBox();
  auto form = openForm();
  runRoad(*form, "66.6");
  auto swipe = swipeOnTop();
  ASSERT_TRUE(swipe);
  ASSERT_TRUE(pump([&] { return box->isArmed(); }, 10) && box->swipe());
  ASSERT_TRUE(pump([&] { return !swipe->track().empty(); }, 10));
  auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(swipe->passwordTextField()->inputView());
  ASSERT_TRUE(keypad);
  for (char c : std::string("123456")) swipe->keyboadView(*keypad, c - '0');
  ASSERT_TRUE(swipe->doneButton()->tap());
  std::shared_ptr<SwipeResultViewController> receipt;
  ASSERT_TRUE(pump([&] { return (receipt = std::dynamic_pointer_cast<SwipeResultViewController>(top())) != nullptr; }, 20));
  RunLoop::main().advance(1);
  EXPECT_EQ(commits().back().amountFen, 6660);

  receipt->doneButtonPressed();
  RunLoop::main().advance(1);
  EXPECT_EQ(top(), form);
  EXPECT_EQ(form->amountTextField()->text(), "");
}

TEST_F(TicketRechargeTest, AFailedOrderEndsTheRoadWithTheTimeOutAlertAndKeepsTheAmount) {
  startBox();
  struct Case {
    const char* name;
    std::function<void(TicketRechargeTest&)> arrange;
  };
  const Case cases[] = {
      {"refused (3000)", [](TicketRechargeTest& t) { t.lottery->setTopUpAnswer(LotteryStandin::TopUpAnswer::Refused); }},
      {"cut off inside its fields",
       [](TicketRechargeTest& t) { t.lottery->setTopUpAnswer(LotteryStandin::TopUpAnswer::Truncated); }},
      {"a MAC length beyond the reply",
       [](TicketRechargeTest& t) { t.lottery->setTopUpAnswer(LotteryStandin::TopUpAnswer::OverlongMac); }},
      {"no server", [](TicketRechargeTest& t) { t.lottery->stop(); }},
  };
  auto form = openForm();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange(*this);
    runRoad(*form, "50.5");
    EXPECT_EQ(alertTitle(), "连接超时");
    EXPECT_EQ(platform::ui::AlertView::top()->buttonTitleAtIndex(0), "确定");
    EXPECT_EQ(form->amountTextField()->text(), "50.5");
    EXPECT_FALSE(spinnerShown());
    platform::ui::AlertView::dismissAll();
  }
  EXPECT_EQ(calls("createBill"), 0u);
  EXPECT_EQ(top(), form);
}

TEST_F(TicketRechargeTest, UnusableBillAndInquiryRepliesStopBeforeThePayScreen) {
  startBox();
  feeOf150(*server);
  struct Case {
    const char* name;
    const char* method;
    Scripted reply;
    std::optional<std::string> prompt;
    std::optional<std::string> alertMessage;
    size_t inquiries;
  };
  const std::vector<Case> cases = {
      {"bill: 0000 without data", "createBill", Scripted::successWithoutData(), "未知错误", {}, 0},
      {"bill: refused", "createBill", Scripted::error("3005", "商户不存在"), {}, "商户不存在", 0},
      {"bill: connection lost", "createBill", Scripted::dropConnection(), "网络连接失败", {}, 0},
      {"bill: not JSON", "createBill", Scripted::badJson(), {}, platform::Strings::localized("Error_Data"), 0},
      {"inquiry: refused", "queryTrans", Scripted::error("3001", "账单不存在"), "账单不存在", {}, 1},
  };
  auto form = openForm();
  size_t inquiriesBefore = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server->script(c.method, c.reply, 1);
    const size_t orders = lottery->messages().size();
    next(*form, "20");
    // The gate passes in virtual time; the replies are awaited with the clock held, so that
    // what they show is still there.
    ASSERT_TRUE(pump([&] { return lottery->messages().size() > orders; }));
    ASSERT_TRUE(awaitReply([&] { return !form->isBusy(); }));
    if (c.prompt) {
      EXPECT_EQ(prompt(), c.prompt);
    }
    if (c.alertMessage) {
      ASSERT_TRUE(platform::ui::AlertView::top());
      EXPECT_EQ(alertTitle(), "提示");
      EXPECT_EQ(platform::ui::AlertView::top()->message(), *c.alertMessage);
    }
    EXPECT_EQ(calls("queryTrans") - inquiriesBefore, c.inquiries);
    inquiriesBefore = calls("queryTrans");
    EXPECT_EQ(top(), form);
    EXPECT_EQ(form->amountTextField()->text(), "20");
    platform::ui::AlertView::dismissAll();
    settle();
  }
  EXPECT_EQ(calls("commitTransaction"), 0u);
}

TEST_F(TicketRechargeTest, WithoutALotteryLoginTheOrderHasAnEmptyUserAndNoRulesAreAsked) {
  startBox();
  auto form = openForm();
  EXPECT_EQ(calls("getBusiDesc"), 0u);
  EXPECT_FALSE(form->remindStr()->hasPage());
  runRoad(*form, "");
  EXPECT_EQ(prompt(), "输入正确的金额");
  EXPECT_TRUE(lottery->messages().empty());
  settle();

  runRoad(*form, "8");
  ASSERT_EQ(lottery->messages().size(), 1u);
  EXPECT_EQ(lottery->messages()[0].fields, (std::vector<std::string>{"", "8", ""}));
  EXPECT_TRUE(swipeOnTop());
}

TEST_F(TicketRechargeTest, ANextWhileTheGateWaitsOnTheModelChooserAsksAgain) {
  // Something in the headset jack and no reader model chosen yet: the gate asks the server for
  // the models and waits for the user's choice.
  platform::media::Jack::shared().plugHeadphones();
  services->makeHub();
  auto form = openForm();
  next(*form, "12");
  ASSERT_TRUE(pump([&] { return calls("getUnitListNew") == 1; }, 5));
  EXPECT_TRUE(form->isGatePending());
  settle();
  // Back from the chooser without a choice, Next starts the gate again.
  next(*form, "12");
  ASSERT_TRUE(pump([&] { return calls("getUnitListNew") == 2; }, 5));
  EXPECT_TRUE(lottery->messages().empty());
  EXPECT_EQ(form->amountTextField()->text(), "12");
}

TEST_F(TicketRechargeTest, TheRulesTextOfTheLotterySessionIsShownAndItsLinksOpenOutside) {
  lottery::StaticVariable::shared().setUid("70001");
  lottery::StaticVariable::shared().setFinalTokenid("lottery-token");
  lottery::StaticVariable::shared().setMobelNum("13800000000");
  auto form = openForm();
  auto asked = lastRequestTo("getBusiDesc");
  ASSERT_TRUE(asked);
  Names names;
  for (const auto& f : asked->queryFields) names.push_back(f.first);
  EXPECT_EQ(names, (Names{"busId", "id", "uid", "vercode", "userToken", "mobile", "ver", "custlev"}));
  EXPECT_EQ(asked->queryFields[0].second, "B00013_3");
  EXPECT_EQ(asked->queryFields[4].second, "lottery-token");
  ASSERT_TRUE(form->remindStr()->hasPage());
  EXPECT_NE(form->remindStr()->pageText().find("业务说明"), std::string::npos);
  EXPECT_FALSE(prompt());

  // A link of the rules opens in the browser, not in the box.
  server->script("getBusiDesc",
                 Scripted::success(Json::array({Json{{"aContent", "<a href=\"http://rules.example/r.html\">细则</a>"}}})), 1);
  auto linked = openForm();
  ASSERT_TRUE(inspector().followLink(*linked->remindStr(), "细则").isOk());
  EXPECT_EQ(platform::UrlOpener::shared().opened(), (std::vector<std::string>{"http://rules.example/r.html"}));
  EXPECT_FALSE(linked->remindStr()->isLoading());
  EXPECT_EQ(linked->remindStr()->pageText(), "细则");

  // A refusal of the rules shows the server's text.
  server->script("getBusiDesc", Scripted::error("3009", "暂无说明"), 1);
  auto second = openForm();
  ASSERT_TRUE(platform::ui::AlertView::top());
  EXPECT_EQ(platform::ui::AlertView::top()->message(), "暂无说明");
  EXPECT_FALSE(second->remindStr()->hasPage());
}

TEST_F(TicketRechargeTest, BackLeavesTheModalPresentationAndTheAmountSurvivesTheReaderChooser) {
  auto form = std::make_shared<TicketRechargeViewController>();
  auto modal = platform::ui::NavigationController::create(form);
  services->navigation->topViewController()->presentModal(modal, false);
  RunLoop::main().advance(1);
  ASSERT_TRUE(services->navigation->topViewController()->presentedViewController());
  form->amountTextField()->setText("30");
  EXPECT_TRUE(form->needClearView());

  // The chooser opened on the way from the form clears the flag: the form keeps its amount.
  auto chooser = reader::SwiperInvalidViewController::create();
  chooser->setNextStepTarget(form);
  modal->push(chooser, false);
  RunLoop::main().advance(1);
  EXPECT_FALSE(form->needClearView());
  modal->pop(false);
  RunLoop::main().advance(1);
  EXPECT_EQ(form->amountTextField()->text(), "30");

  form->backButtonPressed();
  RunLoop::main().advance(1);
  EXPECT_FALSE(services->navigation->topViewController()->presentedViewController());
}

TEST(TicketRechargeReturnTest, TheReceiptReturnsToTheFirstBetListScreenSetElseToTheForm) {
  auto colorBall = std::make_shared<testing::NamedTestScreen>("BetList");
  auto threeD = std::make_shared<testing::NamedTestScreen>("BetList");
  auto athletics = std::make_shared<testing::NamedTestScreen>("BetList");
  struct Case {
    const char* name;
    std::function<void(TicketRechargeViewController&)> set;
    const char* expected;
  };
  const Case cases[] = {
      {"none", [](TicketRechargeViewController&) {}, "TicketRechargeViewController"},
      {"3D", [&](TicketRechargeViewController& f) { f.set_threeDBuyController(threeD); }, "ThreeDBuyController"},
      {"athletics and colour ball",
       [&](TicketRechargeViewController& f) {
         f.set_athleticsBetViewController(athletics);
         f.set_colorBallBuyController(colorBall);
       },
       "ColorBallBuyController"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TicketRechargeViewController form;
    c.set(form);
    EXPECT_EQ(form.popControllerClass(), c.expected);
  }
  // A bet-list screen that has gone is not returned to.
  TicketRechargeViewController form;
  form.set_threeDBuyController(std::make_shared<testing::NamedTestScreen>("BetList"));
  EXPECT_EQ(form.popControllerClass(), "TicketRechargeViewController");
}

TEST_F(TicketRechargeTest, TheHotlineIsDialledOrExplained) {
  auto form = openForm();
  EXPECT_EQ(form->hotlineButton()->title(platform::ui::ControlState::Normal), "诺维萨客服热线：400-000-0000");
  struct Case {
    const char* name;
    bool canDial;
    std::vector<std::string> opened;
    const char* alert;
  };
  const Case cases[] = {
      {"a phone", true, {"tel:400-000-0000"}, nullptr},
      {"a phone that cannot dial", false, {}, "客服电话：400-000-0000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::UrlOpener::shared().setOpenable("tel", c.canDial);
    const auto before = platform::UrlOpener::shared().opened().size();
    ASSERT_TRUE(inspector().tapControl(*form->hotlineButton()).isOk());
    auto sheet = inspector().topSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->title(), "是否拨打电话");
    ASSERT_TRUE(inspector().chooseInSheet("拨打电话：400-000-0000").isOk());
    auto opened = platform::UrlOpener::shared().opened();
    EXPECT_EQ(std::vector<std::string>(opened.begin() + static_cast<long>(before), opened.end()), c.opened);
    EXPECT_EQ(alertTitle(), c.alert ? c.alert : "<none>");
    platform::ui::AlertView::dismissAll();
  }
}

}  // namespace
}  // namespace nvx
