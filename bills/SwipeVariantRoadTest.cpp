// The balance inquiry and the points-card collection against the main-API stand-in and the
// simulated reader box: the gate, the swipe and PIN, the requests as the server checks them, the
// screens that follow, and what a lost or refused reply leaves.
#include <gtest/gtest.h>

#include "bills/BalanceSwiperViewController.h"
#include "bills/MemberCardInputViewController.h"
#include "bills/TradeDetailViewController.h"
#include "bills/TradeResultViewController.h"
#include "bills/testing/BillsTestFixture.h"
#include "pay/SwipeTimeOutViewController.h"
#include "platform/foundation/Strings.h"
#include "standin/mainapi/SwipeVariantRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::Strings;
using Scripted = standin::MainApiStandin::Scripted;
using Names = std::vector<std::string>;

class SwipeVariantRoadTest : public testing::BillsTestFixture {
 protected:
  struct Entry {
    std::string account;
    std::string again;
    std::string name;
    std::string quantity;
    bool sms = false;
    std::string phone;
  };

  // The form as the home screen opens it: after a passed reader gate.
  std::shared_ptr<MemberCardInputViewController> openForm() {
    auto home = NVXViewController::create();
    services->navigation->push(home, false);
    RunLoop::main().advance(1);
    bool passed = false;
    home->swiperValid([&](bool ok) { passed = ok; });
    EXPECT_TRUE(pump([&] { return passed; }, 20));
    services->navigation->pop(false);
    return open<MemberCardInputViewController>();
  }
  void fill(MemberCardInputViewController& form, const Entry& e) {
    auto in = inspector();
    auto put = [&](const std::shared_ptr<platform::ui::TextField>& field, const std::string& text) {
      field->setText("");
      if (text.empty()) return;
      auto typed = in.type(*field, text);
      ASSERT_TRUE(typed.isOk()) << typed.message();
      field->resignFirstResponder();
    };
    put(form.accountTf(), e.account);
    put(form.reputAccountTf(), e.again);
    put(form.accountNameTf(), e.name);
    put(form.chargeMoneyTf(), e.quantity);
    form.setNoticeSMS(e.sms);
    if (e.sms) {
      put(form.smsPhoneTf(), e.phone);
    } else {
      form.smsPhoneTf()->setText(e.phone);  // its row is hidden; a number left from before
    }
  }
  // The box's swipe and the PIN typed on the swipe screen's keypad.
  bool swipeAndPin(MemberCardInputViewController& form, const std::string& pin) {
    if (!pump([&] { return box->isArmed(); }, 10) || !box->swipe()) return false;
    if (!pump([&] { return !form.track().empty(); }, 10)) return false;
    auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(form.passwordTextField()->inputView());
    if (!keypad) return false;
    for (char c : pin) form.keyboadView(*keypad, c - '0');
    form.passwordTextField()->resignFirstResponder();
    return true;
  }
  std::shared_ptr<TradeDetailViewController> toConfirmation(MemberCardInputViewController& form) {
    EXPECT_TRUE(form.doneButton()->tap());
    EXPECT_TRUE(pump([&] { return std::dynamic_pointer_cast<TradeDetailViewController>(top()) != nullptr; }, 20))
        << prompt().value_or("");
    RunLoop::main().advance(1);
    return std::dynamic_pointer_cast<TradeDetailViewController>(top());
  }
  static std::vector<std::string> texts(const std::vector<std::shared_ptr<platform::ui::Label>>& labels) {
    std::vector<std::string> out;
    for (const auto& l : labels) out.push_back(l->text());
    return out;
  }
  std::vector<standin::SwipeVariantState::Points> collections() {
    auto lock = server->lock();
    return server->feature<standin::SwipeVariantState>().collections;
  }
  static std::string key(const char* k) { return Strings::localized(k); }
  void collectPoints(const std::string& pin, bool sms);

  const Entry good{"6222021234567890", "6222021234567890", "张三", "5", false, ""};
};

// The form's own checks come first, in order; none sends anything.
TEST_F(SwipeVariantRoadTest, EachFormCheckStopsAtItsPromptAndSendsNothing) {
  startBox();
  auto form = openForm();
  ASSERT_TRUE(form);
  const std::string name32 = "张 三 " + std::string(30, 'a');  // 32 characters without its blanks
  struct Case {
    const char* what;
    Entry entry;
    std::string expected;
  };
  const Case cases[] = {
      {"no account", {"", "", "张三", "5", false, ""}, key("Error_BeneficiaryAccount3")},
      {"repetition empty", {"6222021234567890", "", "张三", "5", false, ""}, key("Error_BeneficiaryAccount4")},
      {"repetition differs", {"6222021234567890", "6222021234567891", "张三", "5", false, ""}, key("Error_BeneficiaryAccount4")},
      {"name of blanks", {"62220212", "62220212", "   ", "5", false, ""}, key("Error_TrueName")},
      {"name of 33", {"62220212", "62220212", std::string(33, 'a'), "5", false, ""}, key("Error_NameLength")},
      {"no quantity", {"62220212", "62220212", "张三", "", false, ""}, key("Error_TransferAmountRule1")},
      {"quantity 0", {"62220212", "62220212", "张三", "0", false, ""}, key("Error_TransferAmountRule1")},
      {"short phone with the switch on", {"62220212", "62220212", "张三", "5", true, "1380000"},
       key("Error_EnterMobileNumber")},
      // Blanks inside a name do not count: 32 letters pass, and so does the phone with the
      // switch off; the swipe screen then asks for the card.
      {"32 letters with blanks, no card yet", {"62220212", "62220212", name32, "5", false, "1380000"}, "请先刷卡"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fill(*form, c.entry);
    ASSERT_TRUE(form->doneButton()->tap());
    EXPECT_EQ(prompt(), c.expected);
    settle();
  }
  EXPECT_EQ(calls("queryTrans"), 0u);
}

// The whole collection with a PIN (or none) and the message switch on (or off, a number typed all
// the same).
void SwipeVariantRoadTest::collectPoints(const std::string& pin, bool sms) {
  {
    const struct {
      std::string pin;
      bool sms;
      std::string phone;
    } c{pin, sms, "13912345678"};
    startBox();
    auto form = openForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->businessType(), 29);
    Entry e = good;
    e.sms = c.sms;
    e.phone = c.phone;
    fill(*form, e);
    EXPECT_EQ(form->chargeMoney(), "5.00");
    ASSERT_TRUE(swipeAndPin(*form, c.pin));
    auto detail = toConfirmation(*form);
    ASSERT_TRUE(detail);

    Names inquiry{"uid", "vercode", "userToken", "busid", "termid", "mobile", "issms"};
    if (c.sms) inquiry.push_back("mobileno");
    for (const char* n : {"billno", "blname", "otrack"}) inquiry.push_back(n);
    if (!c.pin.empty()) inquiry.push_back("pinkey");
    inquiry.push_back("rnd");
    EXPECT_EQ(lastFieldNames("queryTrans"), inquiry);
    auto sent = lastRequestTo("queryTrans");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->formValue("busid"), "17G");
    EXPECT_EQ(sent->formValue("issms"), c.sms ? "1" : "0");
    EXPECT_EQ(sent->formValue("amount"), "000000000500");
    EXPECT_NE(sent->path.find("queryTrans.json"), std::string::npos);
    EXPECT_EQ(server->lastVerdict("queryTrans")->retCode, "0000");

    EXPECT_EQ(detail->title(), "归集详情");
    EXPECT_EQ(texts(detail->valueLabels()),
              (Names{"6222021234567890", "张三", "9558******6789", "5.00", "1.50", "6.50"}));

    ASSERT_TRUE(detail->sureButton()->tap());
    ASSERT_TRUE(pump([&] { return std::dynamic_pointer_cast<TradeResultViewController>(top()) != nullptr; }, 20))
        << prompt().value_or("");
    RunLoop::main().advance(1);
    // The commit repeats the inquiry, with its own six identity fields last and once each.
    auto commit = lastRequestTo("commitTransaction");
    ASSERT_TRUE(commit);
    Names names;
    for (const auto& f : commit->formFields) {
      if (f.first != "ver" && f.first != "custlev" && f.first != "mac" && f.first != "amount") names.push_back(f.first);
    }
    Names expected(inquiry.begin() + 6, inquiry.end());
    for (const char* n : {"uid", "vercode", "userToken", "busid", "termid", "mobile"}) expected.push_back(n);
    EXPECT_EQ(names, expected);
    EXPECT_EQ(commit->formValue("busid"), "17E");
    EXPECT_EQ(commit->formValue("otrack"), sent->formValue("otrack"));
    EXPECT_EQ(commit->formValue("pinkey"), sent->formValue("pinkey"));
    ASSERT_EQ(collections().size(), 1u);
    EXPECT_EQ(collections()[0].amount, 500);

    auto result = std::dynamic_pointer_cast<TradeResultViewController>(top());
    EXPECT_EQ(result->title(), "归集成功");
    auto shown = texts(result->valueLabels());
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_FALSE(shown[0].empty());
    EXPECT_EQ(Names(shown.begin() + 1, shown.end()),
              (Names{"6222021234567890", "9558******6789", "5.00", "1.50", "6.50"}));
    ASSERT_TRUE(result->sureButton()->tap());
    RunLoop::main().advance(1);
    EXPECT_EQ(top(), services->root);
  }
}

TEST_F(SwipeVariantRoadTest, APointsCollectionWithAPinRepeatsTheInquirysFieldsInItsCommit) {
  collectPoints("123456", false);
}

TEST_F(SwipeVariantRoadTest, APointsCollectionWithoutPinButWithAMessageSendsNoPinBlockAndTheNumber) {
  collectPoints("", true);
}

// A commit whose answer is lost may have collected the points: the time-out page, and no second
// commit from the confirmation.
TEST_F(SwipeVariantRoadTest, ACommitWhoseAnswerIsLostShowsTheTimeOutPageAndIsNeverSentAgain) {
  startBox();
  auto form = openForm();
  ASSERT_TRUE(form);
  fill(*form, good);
  ASSERT_TRUE(swipeAndPin(*form, "123456"));
  auto detail = toConfirmation(*form);
  ASSERT_TRUE(detail);
  server->script("commitTransaction", Scripted::dropAfterProcessing(), 1);
  ASSERT_TRUE(detail->sureButton()->tap());
  ASSERT_TRUE(pump([&] { return std::dynamic_pointer_cast<SwipeTimeOutViewController>(top()) != nullptr; }, 70))
      << prompt().value_or("");
  EXPECT_EQ(collections().size(), 1u) << "the server did collect";
  EXPECT_TRUE(detail->isOutcomeOpen());

  // Back on the confirmation, "确定" sends nothing more.
  services->navigation->pop(false);
  RunLoop::main().advance(1);
  detail->next();
  EXPECT_FALSE(detail->sureButton()->tap());
  pump([] { return false; }, 3);
  EXPECT_EQ(calls("commitTransaction"), 1u);
}

TEST_F(SwipeVariantRoadTest, ARefusedCommitIsPromptedAndTheConfirmationStays) {
  startBox();
  auto form = openForm();
  ASSERT_TRUE(form);
  fill(*form, good);
  ASSERT_TRUE(swipeAndPin(*form, "123456"));
  auto detail = toConfirmation(*form);
  ASSERT_TRUE(detail);
  server->script("commitTransaction", Scripted::error("0051", "积分不足"), 1);
  ASSERT_TRUE(detail->sureButton()->tap());
  ASSERT_TRUE(awaitReply([&] { return prompt() == "积分不足"; }));
  EXPECT_EQ(top(), detail);
  EXPECT_FALSE(detail->isOutcomeOpen());
}

TEST_F(SwipeVariantRoadTest, ALostInquiryAsksForANewSwipeAndPin) {
  startBox();
  auto form = openForm();
  ASSERT_TRUE(form);
  fill(*form, good);
  ASSERT_TRUE(swipeAndPin(*form, "123456"));
  server->script("queryTrans", Scripted::dropConnection(), 1);
  ASSERT_TRUE(form->doneButton()->tap());
  ASSERT_TRUE(awaitReply([&] { return prompt() == key("NetWord_Failed"); }));
  EXPECT_EQ(top(), form);
  EXPECT_TRUE(form->track().empty());
  EXPECT_TRUE(form->passwordTextField()->text().empty());
  EXPECT_EQ(calls("commitTransaction"), 0u);
}

// The balance: a reader without known keys, the gate after half a second, then the inquiry sent
// by the swipe screen with the card and the PIN block, and the receipt of type 0.
TEST_F(SwipeVariantRoadTest, TheBalanceIsAskedAfterTheGateAndShownOnTheReceipt) {
  startBox();
  auto screen = open<BalanceSwiperViewController>();
  ASSERT_TRUE(pump([&] { return Tools::sharedInstance().infoValue("busid") == "M30000"; }, 20));
  EXPECT_TRUE(screen->isPlugin());
  EXPECT_EQ(Tools::sharedInstance().infoValue("busid"), "M30000");
  ASSERT_TRUE(payByCard(*screen));
  RunLoop::main().advance(1);
  EXPECT_EQ(receipts.back()->businessType, 0);
  EXPECT_EQ(receipts.back()->retData.value("amount", ""), "1234567");
  EXPECT_EQ(receipts.back()->transactionBusId, "M30000");
  EXPECT_EQ(server->lastVerdict("queryTrans")->retCode, "0000");
  auto lock = server->lock();
  const auto& balances = server->feature<standin::SwipeVariantState>().balances;
  ASSERT_EQ(balances.size(), 1u);
  EXPECT_EQ(balances[0].termid, kBoxKsn);
}

}  // namespace
}  // namespace nvx
