// The four forms of the bill-number road against the main-API stand-in and the simulated reader
// box: their checks, the inquiry with each form's field order, the summary, the stored commit and
// the card payment to the receipt.
#include <gtest/gtest.h>

#include "bills/AccountDirectChargeViewController.h"
#include "bills/BillNumberRemittanceVeiwController.h"
#include "bills/CaiFutongRechargeViewController.h"
#include "bills/BillsScreens.h"
#include "bills/TaobaoPaymentViewController.h"
#include "net/DataStatisticsMap.h"
#include "pay/PayMoney.h"
#include "bills/testing/BillsTestFixture.h"
#include "pay/SwipeViewController.h"
#include "platform/foundation/Strings.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::Strings;
using Scripted = standin::MainApiStandin::Scripted;
using Names = std::vector<std::string>;

class BillRoadTest : public testing::BillsTestFixture {
 protected:
  // Types into the form's fields (nothing for a field left alone) and taps Next.
  void fill(BillRoadViewController& form, const std::string& number, const std::string& amount,
            std::optional<std::string> phone = std::nullopt) {
    auto in = inspector();
    if (!number.empty()) {
      ASSERT_TRUE(in.type(*form.paymentNumberField(), number).isOk());
    }
    if (!amount.empty()) {
      ASSERT_TRUE(in.type(*form.payMoneysField(), amount).isOk());
    }
    if (phone) {
      auto field = form.phoneNumberField();
      field->setText("");
      ASSERT_TRUE(field->becomeFirstResponder());
      if (!phone->empty()) {
        ASSERT_TRUE(in.type(*field, *phone).isOk());
      }
    }
  }
  // Next while a field may still be editing (its keyboard may cover the button).
  void next(BillRoadViewController& form) { ASSERT_TRUE(form.theNextButton()->tap()); }

  // Next, and the way to the pay screen: the gate, the inquiry.
  std::shared_ptr<SwipeViewController> nextToPayScreen(BillRoadViewController& form) {
    next(form);
    EXPECT_TRUE(pump([&] { return std::dynamic_pointer_cast<SwipeViewController>(top()) != nullptr; }));
    RunLoop::main().advance(1);
    return std::dynamic_pointer_cast<SwipeViewController>(top());
  }
  static std::string key(const char* k) { return Strings::localized(k); }
};

TEST_F(BillRoadTest, EachFormsChecksStopAtTheirPromptAndSendNothing) {
  const std::string forty(40, '7');
  const std::string fortyOne(41, '7');
  struct Case {
    const char* name;
    std::function<std::shared_ptr<BillRoadViewController>(BillRoadTest&)> open;
    std::string number;
    std::string amount;
    std::optional<std::string> phone;
    bool smsOn = false;
    const char* prompt;
  };
  auto bill = [](BillRoadTest& t) -> std::shared_ptr<BillRoadViewController> {
    return t.open<BillNumberRemittanceVeiwController>();
  };
  auto taobao = [](BillRoadTest& t) -> std::shared_ptr<BillRoadViewController> {
    return t.open<TaobaoPaymentViewController>();
  };
  auto tenpay = [](BillRoadTest& t) -> std::shared_ptr<BillRoadViewController> {
    return t.open<CaiFutongRechargeViewController>();
  };
  auto direct = [](BillRoadTest& t) -> std::shared_ptr<BillRoadViewController> {
    return t.open<AccountDirectChargeViewController>();
  };
  const std::vector<Case> cases = {
      {"bill: no bill number", bill, "", "100", {}, false, "EnterPaymenBillNumber"},
      {"bill: no amount", bill, "123", "", {}, false, "EnterPaymentAmount"},
      {"bill: amount 0", bill, "123", "0", {}, false, "EnterPaymentAmount"},
      {"bill: a 10-digit phone", bill, "123", "12", std::string("1380000000"), false, "Error_EnterMobileNumber"},
      {"bill: the phone row cleared", bill, "123", "12", std::string(""), false, "Error_EnterMobileNumber"},
      {"taobao: no trade number", taobao, "", "12", {}, false, "Error_AlipayTransactionNumberNotNull"},
      {"taobao: 41 characters", taobao, fortyOne, "12", {}, false, "Error_AlipayTransactionNumberLen"},
      {"taobao: 40 characters pass, the amount is checked", taobao, forty, "", {}, false, "EnterPaymentAmount"},
      {"tenpay: no account", tenpay, "", "12", {}, false, "Error_TenpayRechargeNotNull"},
      {"tenpay: no length limit, the amount is checked", tenpay, fortyOne + fortyOne, "0", {}, false,
       "Error_AmountNotNull"},
      {"direct: no account", direct, "", "12", {}, false, "Error_AccountDirectChargeNumberNotNull"},
      {"direct: 41 characters", direct, fortyOne, "12", {}, false, "Error_AccountDirectChargeNumberLen"},
      {"direct: 40 characters pass, the amount is checked", direct, forty, "", {}, false, "Error_AmountNotNull"},
      {"direct: SMS on, a bad phone", direct, "88", "12", std::string("2380000000"), true, "Error_EnterMobileNumber"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto form = c.open(*this);
    if (c.smsOn) {
      form->SMSNotificationSwitch()->setOn(true);
      form->toSetSendSMSNotification();
    }
    fill(*form, c.number, c.amount, c.phone);
    next(*form);
    EXPECT_EQ(prompt(), key(c.prompt));
    EXPECT_EQ(top(), form);
    settle();
    services->navigation->popToRoot(false);
  }
  EXPECT_EQ(calls("queryTrans"), 0u);
}

TEST_F(BillRoadTest, ABillIsQueriedPaidByCardAndCommittedWithTheInquirysSerialNumber) {
  startBox();
  {
    auto lock = server->lock();
    server->feature<standin::BillsState>().feeFen = 150;
  }
  auto form = open<BillNumberRemittanceVeiwController>();
  EXPECT_EQ(form->title(), key("BillNumberRemittance"));
  // The phone row starts with the login name, grouped.
  EXPECT_EQ(form->phoneNumberField()->text(), "138-0000-0000");
  fill(*form, "88001234", "120.5");
  auto swipe = nextToPayScreen(*form);
  ASSERT_TRUE(swipe);

  // The inquiry in its order, then the summary, the screen's texts and the stored commit.
  EXPECT_EQ(lastFieldNames("queryTrans"),
            (Names{"uid", "vercode", "busid", "termid", "mobile", "billno", "userToken"}));
  EXPECT_EQ(lastRequestTo("queryTrans")->formValue("amount"), "000000012050");
  ASSERT_TRUE(form->inquiryData());
  EXPECT_EQ(form->inquiryData()->price(), "122.000000");
  const auto& rows = swipe->info()->labelSource();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0]->rightValue(), "测试账单");
  EXPECT_EQ(rows[1]->rightValue(), "88001234");
  EXPECT_EQ(rows[2]->amount(), 12050);
  EXPECT_EQ(rows[3]->amount(), 12200);
  EXPECT_TRUE(rows[3]->isRed());
  EXPECT_EQ(rows[4]->rightValue(), "138-0000-0000");
  EXPECT_FALSE(swipe->info()->prompt());
  EXPECT_EQ(swipe->businessType(), 2);
  EXPECT_EQ(swipe->navTitle(), key("TransationDetail"));
  EXPECT_EQ(swipe->doneButtonTitle(), key("OkPayment"));
  EXPECT_EQ(swipe->transactionData(),
            (Json{{"K_TRANSACTION_TARGET", "88001234"}, {"K_TRANSACTION_AMOUNT", "120.50"},
                  {"K_TRANSACTION_INFO", "测试账单"}}));
  EXPECT_EQ(storedNames(), (Names{"uid", "vercode", "busid", "termid", "mobile", "userToken", "srcsid", "billno",
                                  "amount", "issms", "mobileno"}));
  EXPECT_EQ(stored("busid"), "M20013");
  EXPECT_EQ(stored("srcsid"), "Q1");
  EXPECT_EQ(stored("amount"), "120.50");
  EXPECT_EQ(stored("mobileno"), kLoginName);
  EXPECT_EQ(stored("termid"), kBoxKsn);
  EXPECT_EQ(calls("commitTransaction"), 0u);

  // The card: the box's swipe, the PIN, Done.
  ASSERT_TRUE(pump([&] { return box->isArmed(); }, 10));
  ASSERT_TRUE(box->swipe());
  ASSERT_TRUE(pump([&] { return !swipe->track().empty(); }, 10));
  auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(swipe->passwordTextField()->inputView());
  ASSERT_TRUE(keypad);
  for (char c : std::string("123456")) swipe->keyboadView(*keypad, c - '0');
  ASSERT_TRUE(swipe->doneButton()->tap());
  ASSERT_TRUE(pump([&] { return !receipts.empty(); }, 20));
  RunLoop::main().advance(1);

  EXPECT_EQ(receipts.back()->businessType, 2);
  EXPECT_EQ(receipts.back()->transactionBusId, "M20013");
  auto sent = commits();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].busid, "M20013");
  EXPECT_EQ(sent[0].srcsid, "Q1");
  EXPECT_EQ(sent[0].amountFen, 12050);
  EXPECT_TRUE(sent[0].withPin);
  EXPECT_EQ(server->lastVerdict("commitTransaction")->retCode, "0000");
}

TEST_F(BillRoadTest, EachFormAsksStoresAndCommitsItsFieldsInItsOwnOrder) {
  startBox();
  // The signed amount goes last on the wire; the fixture leaves it out of the order.
  const Names billInquiry{"uid", "vercode", "busid", "termid", "mobile", "billno", "userToken"};
  const Names tailInquiry{"busid", "termid", "mobile", "userToken", "billno", "uid", "vercode"};
  const Names tailCommit{"busid", "termid", "mobile", "userToken", "billno", "srcsid", "amount", "uid", "vercode"};
  struct Case {
    const char* name;
    std::function<std::shared_ptr<BillRoadViewController>(BillRoadTest&)> open;
    const char* inquiryBusid;
    Names inquiry;
    const char* commitBusid;
    Names commit;
    int type;
    size_t rows;
  };
  const std::vector<Case> cases = {
      {"taobao", [](BillRoadTest& t) -> std::shared_ptr<BillRoadViewController> { return t.open<TaobaoPaymentViewController>(); },
       "M50002", billInquiry, "M20010",
       Names{"uid", "vercode", "busid", "termid", "mobile", "userToken", "srcsid", "billno", "amount", "issms"}, 3, 4},
      {"tenpay", [](BillRoadTest& t) -> std::shared_ptr<BillRoadViewController> { return t.open<CaiFutongRechargeViewController>(); },
       "M50004", tailInquiry, "M20012", tailCommit, 7, 5},
      {"direct charge, SMS off", [](BillRoadTest& t) -> std::shared_ptr<BillRoadViewController> { return t.open<AccountDirectChargeViewController>(); },
       "M50006", tailInquiry, "M20014", tailCommit, 9, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto form = c.open(*this);
    fill(*form, "5566", "30");
    auto swipe = nextToPayScreen(*form);
    ASSERT_TRUE(swipe);
    EXPECT_EQ(lastFieldNames("queryTrans"), c.inquiry);
    EXPECT_EQ(lastRequestTo("queryTrans")->formValue("busid"), c.inquiryBusid);
    EXPECT_EQ(storedNames(), c.commit);
    EXPECT_EQ(stored("busid"), c.commitBusid);
    EXPECT_EQ(swipe->businessType(), c.type);
    EXPECT_EQ(swipe->info()->labelSource().size(), c.rows);
    EXPECT_FALSE(swipe->info()->prompt());
    if (c.type == 7) {
      EXPECT_EQ(swipe->info()->labelSource()[2]->rightValue(), "张三");
    }
    // Paid by card, the commit passes the server's checks of its business.
    ASSERT_TRUE(payByCard(*swipe));
    EXPECT_EQ(receipts.back()->businessType, c.type);
    ASSERT_FALSE(commits().empty());
    EXPECT_EQ(commits().back().busid, c.commitBusid);
    EXPECT_EQ(commits().back().amountFen, 3000);
    services->navigation->popToRoot(false);
    RunLoop::main().advance(1);
  }
}

TEST_F(BillRoadTest, TheDirectChargeWithSmsShowsTheNumberAndTheTipButSendsNoNumber) {
  startBox();
  auto form = open<AccountDirectChargeViewController>();
  const double below = form->theNextButton()->center().y;
  form->SMSNotificationSwitch()->setOn(true);
  form->toSetSendSMSNotification();
  EXPECT_EQ(form->theNextButton()->center().y, 292.0);
  EXPECT_EQ(form->introductionLabel()->center().y, 344.0);
  fill(*form, "5566", "30");
  auto swipe = nextToPayScreen(*form);
  ASSERT_TRUE(swipe);
  const auto& rows = swipe->info()->labelSource();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[4]->rightValue(), "138-0000-0000");
  EXPECT_EQ(swipe->info()->prompt(), key("TipsSMSNotification"));
  EXPECT_EQ(stored("mobileno"), "<none>");
  EXPECT_EQ(stored("issms"), "<none>");
  EXPECT_EQ(below, 248.0);
}

TEST_F(BillRoadTest, UnusableInquiryRepliesArePromptedAndOpenNoPayScreen) {
  startBox();
  struct Case {
    const char* name;
    Scripted reply;
    std::optional<std::string> prompt;
  };
  const std::vector<Case> cases = {
      {"no serial number", Scripted::success(Json{{"price", 1000}, {"content", "x"}}), key("Error_Data")},
      {"a price that is not a number", Scripted::success(Json{{"sid", "Q9"}, {"price", "12元"}}), key("Error_Data")},
      {"a fractional fen price", Scripted::success(Json{{"sid", "Q9"}, {"price", 10.5}}), key("Error_Data")},
      {"a fee that is not a number", Scripted::success(Json{{"sid", "Q9"}, {"price", 100}, {"fee", "abc"}}),
       key("Error_Data")},
      {"a list instead of the bill", Scripted::success(Json::array({1})), key("Error_Data")},
      {"the server refuses", Scripted::error("3001", "账单不存在"), std::string("账单不存在")},
      {"the connection drops", Scripted::dropConnection(), key("NetworkConnectionFailed")},
  };
  Tools::sharedInstance().setInfo({{"busid", "before"}}, "https://host/x.json");
  auto form = open<BillNumberRemittanceVeiwController>();
  fill(*form, "123", "10");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server->script("queryTrans", c.reply, 1);
    const size_t before = calls("queryTrans");
    next(*form);
    ASSERT_TRUE(pump([&] { return calls("queryTrans") > before && !form->isInquiryRunning(); }));
    RunLoop::main().advance(0.1);
    EXPECT_EQ(prompt(), c.prompt);
    EXPECT_EQ(top(), form);
    EXPECT_EQ(stored("busid"), "before");
    settle();
  }
  EXPECT_EQ(calls("commitTransaction"), 0u);
}

TEST_F(BillRoadTest, TheInquiryRunsBehindTheSpinnerAndASecondNextWaitsForIt) {
  startBox();
  auto form = open<BillNumberRemittanceVeiwController>();
  fill(*form, "123", "10");
  server->script("queryTrans", Scripted::slow(std::chrono::milliseconds(300)), 1);
  next(*form);
  ASSERT_TRUE(pump([&] { return form->isInquiryRunning(); }));
  EXPECT_TRUE(spinnerShown());
  next(*form);
  // The reply comes in real time while the main loop runs.
  ASSERT_TRUE(RunLoop::main().drainIoUntil(
      [&] { return std::dynamic_pointer_cast<SwipeViewController>(top()) != nullptr; }, std::chrono::seconds(5)));
  EXPECT_EQ(calls("queryTrans"), 1u);
  RunLoop::main().advance(1);
  EXPECT_FALSE(spinnerShown());
}

TEST_F(BillRoadTest, AFormLeftWhileItsInquiryRunsOpensNoPayScreenAndStoresNothing) {
  startBox();
  Tools::sharedInstance().setInfo({{"busid", "before"}}, "https://host/x.json");
  auto form = open<BillNumberRemittanceVeiwController>();
  fill(*form, "123", "10");
  server->script("queryTrans", Scripted::slow(std::chrono::milliseconds(300)), 1);
  next(*form);
  ASSERT_TRUE(pump([&] { return form->isInquiryRunning(); }));
  services->navigation->popToRoot(false);
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return !form->isInquiryRunning(); }, std::chrono::seconds(5)));
  RunLoop::main().advance(1);
  EXPECT_EQ(top(), services->root);
  EXPECT_EQ(stored("busid"), "before");
}

TEST_F(BillRoadTest, ASecondNextAfterComingBackReplacesTheStoredCommitWithTheNewSerialNumber) {
  startBox();
  auto form = open<BillNumberRemittanceVeiwController>();
  fill(*form, "123", "10");
  ASSERT_TRUE(nextToPayScreen(*form));
  EXPECT_EQ(stored("srcsid"), "Q1");
  services->navigation->pop(false);
  RunLoop::main().advance(1);
  // The form kept its values.
  EXPECT_EQ(form->paymentNumberField()->text(), "123");
  ASSERT_TRUE(nextToPayScreen(*form));
  EXPECT_EQ(stored("srcsid"), "Q2");
  EXPECT_EQ(form->inquiryData()->sid(), "Q2");
}

TEST_F(BillRoadTest, AnExpiredLoginStopsTheFormSilently) {
  startBox();
  auto form = open<BillNumberRemittanceVeiwController>();
  fill(*form, "123", "10");
  server->script("queryTrans", Scripted::tokenExpired(), 1);
  next(*form);
  ASSERT_TRUE(pump([&] { return calls("queryTrans") == 1 && !form->isInquiryRunning(); }));
  RunLoop::main().advance(0.1);
  EXPECT_FALSE(std::dynamic_pointer_cast<SwipeViewController>(top()));
  EXPECT_NE(prompt(), key("Error_Data"));
  EXPECT_FALSE(form->inquiryData());
}

}  // namespace
}  // namespace nvx

namespace nvx {
namespace {

TEST(BillsScreensTest, EachFormIsRegisteredUnderItsClassNameWithItsStatisticsSteps) {
  bills::registerScreens();
  for (const char* name : {"BillNumberRemittanceVeiwController", "TaobaoPaymentViewController",
                           "CaiFutongRechargeViewController", "AccountDirectChargeViewController",
                           "ZhiFubaoRechargeViewController", "PublicDonationViewController",
                           "MobileRechargeViewController", "GameCardRechargeViewController"}) {
    SCOPED_TRACE(name);
    auto screen = ScreenRegistry::shared().create(name);
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->className(), name);
  }
  const auto table = DataStatisticsMap::identifierMap();
  EXPECT_EQ(table.at("BillNumberRemittanceVeiwController"), "M50005_1");
  EXPECT_EQ(table.at("SwipeViewController6"), "M20020_3");
  EXPECT_EQ(table.at("GameCardItemViewController"), "M50007_4");
}

}  // namespace
}  // namespace nvx

namespace nvx {
namespace {

class BillAmountTest : public testing::BillsTestFixture {};

// What the amount keeps of what is typed: at most two decimals, no leading zeros, half-width
// digits only, eight integer digits; an amount of nothing or of 0 is refused at Next and nothing
// is sent.
TEST_F(BillAmountTest, TheAmountKeepsOnlyAnExactTwoDecimalValue) {
  struct Case {
    const char* typed;
    const char* kept;
  };
  const Case cases[] = {
      {"12.345", "12.34"}, {"0012", "0.00"}, {"0.001", "0.00"}, {"１２", ""},
      {"12a", "12.00"},    {"123456789", "12345678.00"}, {"167772.17", "167772.17"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    auto form = open<BillNumberRemittanceVeiwController>();
    ASSERT_TRUE(inspector().type(*form->paymentNumberField(), "123").isOk());
    ASSERT_TRUE(inspector().type(*form->payMoneysField(), c.typed).isOk());
    // Pasted text with letters is refused whole.
    EXPECT_EQ(form->shouldChangeCharacters(*form->payMoneysField(), {0, 0}, "3b"), false);
    ASSERT_TRUE(form->theNextButton()->tap());
    EXPECT_EQ(form->payMoneys(), c.kept);
    auto fen = PayMoney::fenFromYuanText(form->payMoneys());
    if (!fen || *fen == 0) {
      EXPECT_EQ(prompt(), platform::Strings::localized("EnterPaymentAmount"));
    }
    settle();
    services->navigation->popToRoot(false);
  }
  EXPECT_EQ(calls("queryTrans"), 0u);
  // Above 167,772.16 single precision would lose the fen; the summary's amounts stay exact.
  EXPECT_EQ(fenOfYuan(std::string("167772.17")), 16777217);
  EXPECT_EQ(fenOfYuan(std::string("12345678.99")), 1234567899);
}

}  // namespace
}  // namespace nvx
