// The mobile recharge and its number history against the main-API stand-in: the number screen's
// rows and checks, the denominations' rows and default choice, the prepared commit to the
// multi-pay screen, the card payment through the reader box while another app is served, and the
// history's list, rename and delete.
#include <gtest/gtest.h>

#include "app/ui/CMExecutor.h"
#include "bills/MobileEditViewController.h"
#include "bills/MobileRechargeViewController.h"
#include "bills/MobileUsedViewController.h"
#include "bills/RechargeMoneyAmountViewController.h"
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

class MobileRechargeTest : public testing::BillsTestFixture {
 protected:
  // Ends editing of a field after typing text into it (cleared first).
  void retype(platform::ui::TextField& field, const std::string& text) {
    field.setText("");
    (void)inspector().render();   // lays the rows out
    ASSERT_TRUE(field.becomeFirstResponder());
    if (!text.empty()) {
      ASSERT_TRUE(inspector().type(field, text).isOk());
    }
    field.resignFirstResponder();
  }
  std::shared_ptr<RechargeMoneyAmountViewController> amountScreen(MobileRechargeViewController& number) {
    EXPECT_TRUE(number.nextStepButton()->tap());
    auto amount = std::dynamic_pointer_cast<RechargeMoneyAmountViewController>(top());
    if (!amount) return nullptr;
    EXPECT_TRUE(pump([&] { return !amount->nextButton()->isHidden(); }));
    RunLoop::main().advance(1);
    return amount;
  }
  void denominations(size_t count, std::optional<size_t> hundredAt = std::nullopt) {
    auto lock = server->lock();
    Json list = Json::array();
    for (size_t i = 0; i < count; ++i) {
      const std::string name = hundredAt == i ? "100" : std::to_string(10 + i);
      list.push_back(Json{{"cardType", "M"}, {"cardName", name}, {"cardDesc", name}, {"cardCode", "C" + std::to_string(i)}});
    }
    server->feature<standin::BillsState>().rechargeAmounts = list;
  }
  static std::string key(const char* k) { return Strings::localized(k); }
};

TEST_F(MobileRechargeTest, TheNumberScreenAsksForAConfirmationOnlyForANewNumber) {
  auto screen = open<MobileRechargeViewController>();
  EXPECT_EQ(screen->phoneField()->text(), "138-0000-0000");
  EXPECT_EQ(screen->phone(), kLoginName);
  EXPECT_TRUE(screen->isFromPhoneList());

  // The same digits keep one row.
  retype(*screen->phoneField(), kLoginName);
  EXPECT_TRUE(screen->isFromPhoneList());
  EXPECT_EQ(screen->mobileRechargetableView()->numberOfRows(0), 1);

  struct Case {
    const char* name;
    std::string number;
    std::string confirmation;
    const char* prompt;
  };
  const std::vector<Case> cases = {
      {"no confirmation", "13912345678", "", "Error_ConfirmMobileNumberNotNull"},
      {"a different confirmation", "13912345678", "13912345679", "Error_ConfirmMobile"},
      {"ten digits, already at the confirmation", "1391234567", "1391234567", "Error_EnterMobileNumber"},
      {"no number", "", "", "Error_MobileNumberNotNull"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    retype(*screen->phoneField(), c.number);
    EXPECT_FALSE(screen->isFromPhoneList());
    EXPECT_EQ(screen->mobileRechargetableView()->numberOfRows(0), 2);
    retype(*screen->donePhoneField(), c.confirmation);
    ASSERT_TRUE(screen->nextStepButton()->tap());
    EXPECT_EQ(prompt(), key(c.prompt));
    EXPECT_EQ(top(), screen);
    settle();
  }
  // A number from the history (stored with separators) returns to one row.
  screen->resetViewWithPhone("139-1234-5678");
  EXPECT_TRUE(screen->isFromPhoneList());
  EXPECT_EQ(screen->phone(), "13912345678");
  EXPECT_EQ(screen->phoneField()->text(), "139-1234-5678");
  EXPECT_EQ(screen->mobileRechargetableView()->numberOfRows(0), 1);
  ASSERT_TRUE(screen->nextStepButton()->tap());
  auto amount = std::dynamic_pointer_cast<RechargeMoneyAmountViewController>(top());
  ASSERT_TRUE(amount);
  EXPECT_EQ(amount->phone(), "13912345678");
}

struct CallingApp {
  int answers = 0;
  void answer() { ++answers; }
};

TEST_F(MobileRechargeTest, OpenedForAnotherAppBackAnswersThatAppInsteadOfLeaving) {
  auto screen = open<MobileRechargeViewController>();
  auto caller = std::make_shared<CallingApp>();
  screen->setNavBackItemExecutor(CMExecutor::initWithTarget(caller, CMExecutor::Action(&CallingApp::answer)));
  screen->backButtonPressed();
  EXPECT_EQ(caller->answers, 1);
  EXPECT_EQ(top(), screen);
}

TEST_F(MobileRechargeTest, WithoutALoginNameTheNumberStartsEmpty) {
  User::currentUser().setLoginName("");
  auto screen = open<MobileRechargeViewController>();
  EXPECT_EQ(screen->phoneField()->text(), "");
  ASSERT_TRUE(screen->nextStepButton()->tap());
  EXPECT_EQ(prompt(), key("Error_MobileNumberNotNull"));
}

TEST_F(MobileRechargeTest, DenominationsComeFiveToARowWithOneChoiceAcrossRows) {
  struct Case {
    const char* name;
    size_t count;
    std::optional<size_t> hundredAt;
    std::vector<int> rowSizes;
    size_t chosen;
  };
  const std::vector<Case> cases = {
      {"seven, 100 at 7 of 10 is absent: the first", 7, std::nullopt, {5, 2}, 0},
      {"five", 5, 3, {5}, 3},
      {"ten, 100 at 7", 10, 7, {5, 5}, 7},
      {"none", 0, std::nullopt, {}, 0},
  };
  auto number = open<MobileRechargeViewController>();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    denominations(c.count, c.hundredAt);
    auto amount = amountScreen(*number);
    ASSERT_TRUE(amount);
    std::vector<int> sizes;
    for (const auto& row : amount->amountRows()) sizes.push_back(row->numberOfSegments());
    EXPECT_EQ(sizes, c.rowSizes);
    EXPECT_FALSE(amount->nextButton()->isHidden());
    if (c.count == 0) {
      EXPECT_FALSE(amount->cardInfo());
      ASSERT_TRUE(amount->nextButton()->tap());
      EXPECT_EQ(prompt(), key("MobileRechargeMessage2"));
    } else {
      ASSERT_TRUE(amount->cardInfo());
      EXPECT_EQ(amount->cardInfo()->cardCode, "C" + std::to_string(c.chosen));
      for (size_t r = 0; r < amount->amountRows().size(); ++r) {
        const int expected = r == c.chosen / 5 ? static_cast<int>(c.chosen % 5) : -1;
        EXPECT_EQ(amount->amountRows()[r]->selectedSegmentIndex(), expected);
      }
    }
    if (c.count == 10) {
      // A segment of the first row clears the second row's choice.
      ASSERT_TRUE(inspector().tapSegment("11").isOk());
      EXPECT_EQ(amount->amountRows()[1]->selectedSegmentIndex(), -1);
      EXPECT_EQ(amount->cardInfo()->cardCode, "C1");
    }
    settle();
    services->navigation->pop(false);
    RunLoop::main().advance(1);
  }
}

TEST_F(MobileRechargeTest, AFailedDenominationRequestLeavesNoRowsAndNoNext) {
  server->script("getRechargeAmount", Scripted::dropConnection(), 1);
  auto number = open<MobileRechargeViewController>();
  ASSERT_TRUE(number->nextStepButton()->tap());
  auto amount = std::dynamic_pointer_cast<RechargeMoneyAmountViewController>(top());
  ASSERT_TRUE(amount);
  ASSERT_TRUE(pump([&] { return prompt().has_value(); }));
  EXPECT_EQ(prompt(), key("NetworkConnectionFailed"));
  EXPECT_TRUE(amount->amountRows().empty());
  EXPECT_TRUE(amount->nextButton()->isHidden());
}

TEST_F(MobileRechargeTest, TheCommitIsPreparedWithoutInquiryForTheMultiPayScreen) {
  auto number = open<MobileRechargeViewController>();
  number->resetViewWithPhone("13912345678");
  auto amount = amountScreen(*number);
  ASSERT_TRUE(amount);
  ASSERT_TRUE(inspector().tapSegment("50").isOk());
  ASSERT_TRUE(amount->nextButton()->tap());
  ASSERT_EQ(multPays.size(), 1u);
  auto pay = multPays.back();
  EXPECT_EQ(top(), pay);
  EXPECT_EQ(pay->businessType, 6);
  ASSERT_EQ(pay->info->labelSource().size(), 3u);
  EXPECT_EQ(pay->info->labelSource()[0]->rightValue(), "139-1234-5678");
  EXPECT_EQ(pay->info->labelSource()[1]->rightValue(), "50");
  EXPECT_EQ(pay->info->labelSource()[2]->amount(), 5000);
  EXPECT_EQ(pay->transactionData, (Json{{"K_TRANSACTION_TARGET", "13912345678"}, {"K_TRANSACTION_AMOUNT", "50"}}));
  EXPECT_EQ(storedNames(),
            (Names{"busid", "termid", "mobile", "userToken", "mobileno", "mobileno2", "chgtype", "uid", "vercode"}));
  EXPECT_EQ(stored("busid"), "M20020");
  EXPECT_EQ(stored("mobileno"), "13912345678");
  EXPECT_EQ(stored("mobileno2"), "13912345678");
  EXPECT_EQ(stored("chgtype"), "CZ50");
  EXPECT_EQ(calls("queryTrans"), 0u);
}

TEST_F(MobileRechargeTest, WhileAnotherAppIsServedTheGateRunsAndTheCardPaysOnTheSwipeScreen) {
  services->otherAppLaunching = true;
  startBox();
  auto number = open<MobileRechargeViewController>();
  auto amount = amountScreen(*number);
  ASSERT_TRUE(amount);
  EXPECT_EQ(amount->cardInfo()->cardName, "100");
  ASSERT_TRUE(amount->nextButton()->tap());
  ASSERT_TRUE(pump([&] { return std::dynamic_pointer_cast<SwipeViewController>(top()) != nullptr; }));
  RunLoop::main().advance(1);
  auto swipe = std::dynamic_pointer_cast<SwipeViewController>(top());
  EXPECT_EQ(swipe->businessType(), 6);
  EXPECT_TRUE(multPays.empty());
  EXPECT_EQ(calls("checkin"), 1u);

  ASSERT_TRUE(pump([&] { return box->isArmed(); }, 10));
  ASSERT_TRUE(box->swipe());
  ASSERT_TRUE(pump([&] { return !swipe->track().empty(); }, 10));
  auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(swipe->passwordTextField()->inputView());
  ASSERT_TRUE(keypad);
  for (char c : std::string("123456")) swipe->keyboadView(*keypad, c - '0');
  ASSERT_TRUE(swipe->doneButton()->tap());
  ASSERT_TRUE(pump([&] { return !receipts.empty(); }, 20));
  EXPECT_EQ(receipts.back()->businessType, 6);
  auto sent = commits();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].busid, "M20020");
  // The denomination's value is what the card paid.
  EXPECT_EQ(sent[0].amountFen, 10000);
  EXPECT_FALSE(sent[0].srcsid);
}

TEST_F(MobileRechargeTest, TheHistoryListsRenamesAndDeletesNumbers) {
  {
    auto lock = server->lock();
    server->feature<standin::BillsState>().usedNumbers[kLoginName] = {{"139-1234-5678", "妈妈"}, {"13700000000", ""}};
  }
  auto number = open<MobileRechargeViewController>();
  number->toUserdPhoneView();
  auto list = std::dynamic_pointer_cast<MobileUsedViewController>(top());
  ASSERT_TRUE(list);
  ASSERT_TRUE(pump([&] { return list->contentArray().size() == 2; }));
  EXPECT_EQ(calls("getRechargeMobile"), 1u);
  EXPECT_EQ(lastRequestTo("getRechargeMobile")->query.find("&mobile=13800000000") != std::string::npos, true);

  // A tap hands the number, without separators, to the number screen.
  list->didSelectRow(*list->contentTableView(), {0, 0});
  RunLoop::main().advance(1);
  EXPECT_EQ(top(), number);
  EXPECT_EQ(number->phone(), "13912345678");

  // Rename: unchanged, a bad name, then a good one (blanks dropped).
  number->toUserdPhoneView();
  list = std::dynamic_pointer_cast<MobileUsedViewController>(top());
  ASSERT_TRUE(pump([&] { return list->contentArray().size() == 2; }));
  list->accessoryButtonTapped(*list->contentTableView(), {0, 1});
  RunLoop::main().advance(1);
  auto edit = std::dynamic_pointer_cast<MobileEditViewController>(top());
  ASSERT_TRUE(edit);
  edit->nameField()->setText("");
  ASSERT_TRUE(edit->saveButton()->tap());
  EXPECT_EQ(prompt(), std::string(MobileEditViewController::kWrongName));
  settle();
  for (const char* name : {"A", "Tom1"}) {
    edit->nameField()->setText(name);
    ASSERT_TRUE(edit->saveButton()->tap());
    EXPECT_EQ(prompt(), std::string(MobileEditViewController::kWrongName)) << name;
    settle();
  }
  edit->nameField()->setText("");
  ASSERT_TRUE(edit->saveButton()->tap());
  EXPECT_EQ(calls("updateRechargeMobileMark"), 0u);
  settle();
  edit->nameField()->setText("小 王");
  ASSERT_TRUE(edit->saveButton()->tap());
  ASSERT_TRUE(awaitReply([&] { return prompt() == std::string(MobileEditViewController::kSaved); }));
  // The same values again send nothing.
  settle();
  EXPECT_EQ(top(), list);
  ASSERT_TRUE(pump([&] { return calls("getRechargeMobile") == 3; }));
  ASSERT_TRUE(pump([&] { return list->contentArray().size() == 2 && list->contentArray()[1]["mobileMark"] == "小王"; }));

  // Delete both: the list says it is empty.
  for (int i = 0; i < 2; ++i) {
    list->accessoryButtonTapped(*list->contentTableView(), {0, 0});
    RunLoop::main().advance(1);
    edit = std::dynamic_pointer_cast<MobileEditViewController>(top());
    ASSERT_TRUE(edit);
    edit->deletePhone();
    // The reply first, then the prompt's time: the screen closes and the list asks again.
    ASSERT_TRUE(awaitReply([&] { return prompt() == std::string(MobileEditViewController::kDeleted); }));
    settle();
    EXPECT_EQ(top(), list);
    ASSERT_TRUE(pump([&] { return list->contentArray().size() == static_cast<size_t>(1 - i); }));
  }
  ASSERT_TRUE(list->emptyLabel());
  EXPECT_EQ(list->emptyLabel()->text(), MobileUsedViewController::kEmptyText);
  EXPECT_TRUE(list->emptyLabel()->superview());
  EXPECT_FALSE(list->contentTableView()->superview());
}

TEST_F(MobileRechargeTest, AHistoryThatCannotBeFetchedSaysSoAndAReplyWithoutDataIsAnError) {
  auto number = open<MobileRechargeViewController>();
  server->script("getRechargeMobile", Scripted::dropConnection(), 1);
  number->toUserdPhoneView();
  auto list = std::dynamic_pointer_cast<MobileUsedViewController>(top());
  ASSERT_TRUE(list);
  ASSERT_TRUE(pump([&] { return prompt().has_value(); }));
  EXPECT_EQ(prompt(), std::string(MobileUsedViewController::kNetworkFailed));
  settle();
  services->navigation->pop(false);
  server->script("getRechargeMobile", Scripted::successWithoutData(), 1);
  number->toUserdPhoneView();
  list = std::dynamic_pointer_cast<MobileUsedViewController>(top());
  ASSERT_TRUE(pump([&] { return prompt().has_value(); }));
  EXPECT_EQ(prompt(), key("ReturnDataIsNil"));
  EXPECT_FALSE(list->emptyLabel());
}

TEST_F(MobileRechargeTest, SavingTheSameValuesTwiceSendsNothingTheSecondTime) {
  auto edit = std::make_shared<MobileEditViewController>();
  edit->setPhoneNumber("13912345678");
  edit->setPhoneUserName("妈妈");
  services->navigation->push(edit, false);
  RunLoop::main().advance(1);
  server->script("updateRechargeMobileMark", Scripted::error("2005", "号码不存在"), 1);
  edit->nameField()->setText("爸爸");
  ASSERT_TRUE(edit->saveButton()->tap());
  ASSERT_TRUE(awaitReply([&] { return prompt() == std::string("号码不存在"); }));
  settle();
  ASSERT_TRUE(edit->saveButton()->tap());
  EXPECT_EQ(prompt(), std::string(MobileEditViewController::kUnchanged));
  EXPECT_EQ(calls("updateRechargeMobileMark"), 1u);
}

}  // namespace
}  // namespace nvx
