// The Alipay recharge code, the donation and the game-card recharge against the main-API stand-in:
// their checks and pickers, the inquiry, the pay screen each opens with its stored commit, and the
// card payments through the reader box.
#include <gtest/gtest.h>

#include "bills/ChargeCodeViewController.h"
#include "bills/DonationItemViewController.h"
#include "bills/GameCardItemViewController.h"
#include "bills/GameCardRechargeViewController.h"
#include "bills/PublicDonationViewController.h"
#include "bills/ZhiFubaoRechargeViewController.h"
#include "bills/testing/BillsTestFixture.h"
#include "platform/foundation/Strings.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::Strings;
using Scripted = standin::MainApiStandin::Scripted;
using Names = std::vector<std::string>;

class BillFormsTest : public testing::BillsTestFixture {
 protected:
  static std::string key(const char* k) { return Strings::localized(k); }
  void retype(platform::ui::TextField& field, const std::string& text) {
    field.setText("");
    (void)inspector().render();
    ASSERT_TRUE(field.becomeFirstResponder());
    if (!text.empty()) {
      ASSERT_TRUE(inspector().type(field, text).isOk());
    }
    field.resignFirstResponder();
  }
  // Opens the row's picker, waits for its list and chooses the entry of that text.
  template <class Picker, class Form>
  std::shared_ptr<Picker> choose(Form& form, int row, const std::string& text) {
    form.didSelectRow(*form.tableView(), {0, row});
    RunLoop::main().advance(1);
    auto picker = std::dynamic_pointer_cast<Picker>(top());
    if (!picker) return nullptr;
    EXPECT_TRUE(pump([&] { return !picker->items().empty(); }));
    for (size_t i = 0; i < picker->items().size(); ++i) {
      if (picker->items()[i].name == text) {
        picker->didSelectRow(*picker->itemTableView(), {0, static_cast<int>(i)});
        RunLoop::main().advance(1);
        return picker;
      }
    }
    ADD_FAILURE() << "no entry " << text;
    return picker;
  }
};

// --- the Alipay recharge code ---------------------------------------------------------------------

TEST_F(BillFormsTest, TheAlipayCodeChecksTheAmountBeforeThePhone) {
  auto form = open<ZhiFubaoRechargeViewController>();
  EXPECT_EQ(form->phone(), kLoginName);
  retype(*form->phoneField(), "1380000000");
  retype(*form->moneyField(), "0");
  ASSERT_TRUE(form->nextButton()->tap());
  EXPECT_EQ(prompt(), key("Error_AmountNotNull"));
  settle();
  retype(*form->moneyField(), "50");
  EXPECT_EQ(form->money(), "50.00");
  ASSERT_TRUE(form->nextButton()->tap());
  EXPECT_EQ(prompt(), key("Error_EnterMobileNumber"));
  EXPECT_EQ(calls("queryTrans"), 0u);
}

TEST_F(BillFormsTest, TheAlipayCodeIsQueriedWithoutBillNumberAndPaidByCard) {
  startBox();
  auto form = open<ZhiFubaoRechargeViewController>();
  retype(*form->moneyField(), "50");
  ASSERT_TRUE(form->nextButton()->tap());
  ASSERT_TRUE(pump([&] { return std::dynamic_pointer_cast<SwipeViewController>(top()) != nullptr; }));
  RunLoop::main().advance(1);
  auto swipe = std::dynamic_pointer_cast<SwipeViewController>(top());
  EXPECT_EQ(lastFieldNames("queryTrans"), (Names{"busid", "termid", "mobile", "userToken", "mobileno", "uid", "vercode"}));
  EXPECT_FALSE(lastRequestTo("queryTrans")->formValue("billno"));
  EXPECT_EQ(storedNames(),
            (Names{"busid", "termid", "mobile", "userToken", "mobileno", "srcsid", "amount", "uid", "vercode"}));
  EXPECT_EQ(stored("busid"), "M20011");
  EXPECT_EQ(swipe->businessType(), 8);
  EXPECT_EQ(swipe->info()->labelSource().size(), 4u);
  EXPECT_EQ(swipe->info()->prompt(), key("AlipayRechargeTips"));
  EXPECT_EQ(swipe->transactionData(), (Json{{"K_TRANSACTION_INFO", kLoginName}, {"K_TRANSACTION_AMOUNT", "50.00"}}));

  ASSERT_TRUE(payByCard(*swipe));
  EXPECT_EQ(receipts.back()->businessType, 8);
  auto sent = commits();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].busid, "M20011");
  EXPECT_EQ(sent[0].amountFen, 5000);
}

TEST_F(BillFormsTest, TheAlipayDescriptionPageShowsTheServersText) {
  auto form = open<ZhiFubaoRechargeViewController>();
  ASSERT_TRUE(form->infoButton()->tap());
  RunLoop::main().advance(1);
  auto page = std::dynamic_pointer_cast<ZhiFuBaoIntroViewController>(top());
  ASSERT_TRUE(page);
  EXPECT_EQ(page->title(), ZhiFuBaoIntroViewController::kTitle);
  ASSERT_TRUE(pump([&] { return page->webview()->pageText().find("业务说明") != std::string::npos; }));
  EXPECT_NE(lastRequestTo("getBusiDesc")->query.find("busId=M50003"), std::string::npos);
  services->navigation->pop(false);
  EXPECT_EQ(top(), form);
}

TEST_F(BillFormsTest, TheUnattachedCodeListShowsItsSampleRows) {
  auto form = open<ZhiFubaoRechargeViewController>();
  form->chargeCodeButtonPressed();
  RunLoop::main().advance(1);
  ASSERT_TRUE(std::dynamic_pointer_cast<ChargeCodeViewController>(top()));
  const std::string shown = inspector().render();
  EXPECT_NE(shown.find("12453423232"), std::string::npos) << shown;
  EXPECT_NE(shown.find("支付宝充值码使用帮助"), std::string::npos);
}

// --- donations ------------------------------------------------------------------------------------

TEST_F(BillFormsTest, TheDonationsPickersClearTheProjectWhenTheAgencyChanges) {
  {
    auto lock = server->lock();
    server->feature<standin::BillsState>().projects["N1"].push_back(
        Json{{"projectId", "P13"}, {"projectNm", "一二三四五六七八九十一二三四五六七八九十"}});
  }
  auto form = open<PublicDonationViewController>();
  // The project before any agency.
  form->didSelectRow(*form->tableView(), {0, 1});
  EXPECT_EQ(prompt(), key("Error_DonationAgenciesNotNul"));
  EXPECT_EQ(top(), form);
  settle();

  ASSERT_TRUE((choose<DonationItemViewController>(*form, 0, "希望工程基金会")));
  EXPECT_EQ(form->donationOrganizationId(), "N1");
  auto projects = choose<DonationItemViewController>(*form, 1, "一二三四五六七八九十一二三四五六七八九十");
  ASSERT_TRUE(projects);
  EXPECT_NE(lastRequestTo("getProjectListByNGO")->path.find("getProjectListByNGO/N1.json"), std::string::npos);
  EXPECT_EQ(form->donationProjectField()->text(), "一二三四五六七八九十一");
  EXPECT_EQ(form->donationProjectId(), "P13");

  // Reopened, the list ticks by the text shown: the cut name ticks nothing; the agency ticks.
  form->didSelectRow(*form->tableView(), {0, 1});
  RunLoop::main().advance(1);
  auto again = std::dynamic_pointer_cast<DonationItemViewController>(top());
  ASSERT_TRUE(again);
  ASSERT_TRUE(pump([&] { return !again->items().empty(); }));
  EXPECT_FALSE(again->tickedRow());
  services->navigation->pop(false);
  form->didSelectRow(*form->tableView(), {0, 0});
  RunLoop::main().advance(1);
  again = std::dynamic_pointer_cast<DonationItemViewController>(top());
  ASSERT_TRUE(pump([&] { return !again->items().empty(); }));
  EXPECT_EQ(again->tickedRow(), 0u);
  services->navigation->pop(false);

  // The same agency keeps the project; another clears it.
  ASSERT_TRUE((choose<DonationItemViewController>(*form, 0, "希望工程基金会")));
  EXPECT_EQ(form->donationProjectId(), "P13");
  ASSERT_TRUE((choose<DonationItemViewController>(*form, 0, "红十字会")));
  EXPECT_EQ(form->donationProjectField()->text(), "");
  EXPECT_EQ(form->donationProjectId(), "");
  retype(*form->donationMoneysField(), "20");
  ASSERT_TRUE(form->nextButton()->tap());
  EXPECT_EQ(prompt(), key("Error_DonationProject"));
  EXPECT_EQ(calls("queryTrans"), 0u);
}

TEST_F(BillFormsTest, ADonationIsQueriedForTheWalletAndOpensTheMultiPayScreen) {
  signInVirtualTerminal();
  {
    auto lock = server->lock();
    server->feature<standin::BillsState>().projects["N1"].push_back(
        Json{{"projectId", "P13"}, {"projectNm", "一二三四五六七八九十一二三四五六七八九十"}});
  }
  auto form = open<PublicDonationViewController>();
  ASSERT_TRUE((choose<DonationItemViewController>(*form, 0, "希望工程基金会")));
  ASSERT_TRUE((choose<DonationItemViewController>(*form, 1, "一二三四五六七八九十一二三四五六七八九十")));
  retype(*form->donationMoneysField(), "0");
  ASSERT_TRUE(form->nextButton()->tap());
  EXPECT_EQ(prompt(), key("Error_AmountNotNull"));
  settle();
  retype(*form->donationMoneysField(), "20");
  ASSERT_TRUE(form->nextButton()->tap());
  ASSERT_TRUE(pump([&] { return !multPays.empty(); }));
  // No reader gate on the form.
  EXPECT_EQ(calls("checkUserDeviceInfo"), 0u);
  // The wallet's request: signed with the virtual terminal.
  EXPECT_EQ(lastRequestTo("queryTrans")->formValue("termid"), kVirtualTermid);
  EXPECT_EQ(lastRequestTo("queryTrans")->formValue("billno"), "P13");
  auto pay = multPays.back();
  EXPECT_EQ(pay->businessType, 5);
  EXPECT_EQ(pay->texts[5], "确定付款");
  ASSERT_EQ(pay->info->labelSource().size(), 4u);
  EXPECT_EQ(pay->info->labelSource()[1]->rightValue(), "一二三四五六七八九十一二三四");
  EXPECT_EQ(pay->info->labelSource()[3]->amount(), 2000);
  EXPECT_EQ(pay->transactionData["K_TRANSACTION_INFO"], "一二三四五六七八九十一二三四五六七八九十");
  EXPECT_EQ(storedNames(), (Names{"uid", "vercode", "busid", "termid", "mobile", "userToken", "srcsid", "billno", "amount"}));
  EXPECT_EQ(stored("busid"), "M20016");
  EXPECT_EQ(stored("srcsid"), "Q1");
}

// --- game cards -----------------------------------------------------------------------------------

TEST_F(BillFormsTest, TheGameCardsDenominationNeedsATypeAndGoesWithAChangeOfType) {
  auto form = open<GameCardRechargeViewController>();
  form->didSelectRow(*form->tableView(), {0, 1});
  EXPECT_EQ(prompt(), std::string(GameCardRechargeViewController::kChooseTypeFirst));
  EXPECT_EQ(top(), form);
  settle();
  ASSERT_TRUE(form->nextButton()->tap());
  EXPECT_EQ(prompt(), std::string(GameCardRechargeViewController::kChooseType));
  settle();

  ASSERT_TRUE((choose<GameCardItemViewController>(*form, 0, "征途游戏点卡")));
  ASSERT_TRUE((choose<GameCardItemViewController>(*form, 1, "50")));
  EXPECT_EQ(form->rechargeCardCode(), "G1-50");
  EXPECT_NE(lastRequestTo("getGameCardAmountByCard")->path.find("getGameCardAmountByCard/G1.json"), std::string::npos);
  ASSERT_TRUE((choose<GameCardItemViewController>(*form, 0, "网易一卡通")));
  EXPECT_EQ(form->rechargeMoneyField()->text(), "");
  EXPECT_EQ(form->rechargeCardCode(), "");
  ASSERT_TRUE(form->nextButton()->tap());
  EXPECT_EQ(prompt(), std::string(GameCardRechargeViewController::kChooseDenomination));
  settle();
  ASSERT_TRUE((choose<GameCardItemViewController>(*form, 1, "30")));
  retype(*form->phoneNumberField(), "1391234567");
  ASSERT_TRUE(form->nextButton()->tap());
  EXPECT_EQ(prompt(), key("Error_EnterMobileNumber"));
  EXPECT_EQ(calls("queryTrans"), 0u);
}

TEST_F(BillFormsTest, AGameCardIsQueriedForTheWalletAndPreparedForTheMultiPayScreen) {
  signInVirtualTerminal();
  auto form = open<GameCardRechargeViewController>();
  ASSERT_TRUE((choose<GameCardItemViewController>(*form, 0, "网易一卡通")));
  ASSERT_TRUE((choose<GameCardItemViewController>(*form, 1, "100")));
  retype(*form->phoneNumberField(), "13912345678");
  ASSERT_TRUE(form->nextButton()->tap());
  ASSERT_TRUE(pump([&] { return !multPays.empty(); }));
  EXPECT_EQ(calls("checkUserDeviceInfo"), 0u);
  EXPECT_EQ(lastRequestTo("queryTrans")->formValue("termid"), kVirtualTermid);
  EXPECT_EQ(lastRequestTo("queryTrans")->formValue("mobileno"), "13912345678");
  auto pay = multPays.back();
  EXPECT_EQ(pay->businessType, 4);
  EXPECT_EQ(pay->info->prompt(), key("GameCardMessage2"));
  ASSERT_EQ(pay->info->labelSource().size(), 5u);
  EXPECT_EQ(pay->info->labelSource()[2]->amount(), 10000);
  EXPECT_EQ(pay->transactionData, (Json{{"K_TRANSACTION_TARGET", "网易一卡通"}, {"K_TRANSACTION_AMOUNT", "100"},
                                        {"K_TRANSACTION_INFO", "13912345678"}}));
  EXPECT_EQ(storedNames(), (Names{"uid", "vercode", "busid", "termid", "mobile", "userToken", "srcsid", "billno",
                                  "mobileno", "issms"}));
  EXPECT_EQ(stored("billno"), "G2-100");
  EXPECT_EQ(stored("issms"), "1");
}

TEST_F(BillFormsTest, WhileAnotherAppIsServedTheGameCardPassesTheGateAndIsPaidByCard) {
  services->otherAppLaunching = true;
  startBox();
  auto form = open<GameCardRechargeViewController>();
  ASSERT_TRUE((choose<GameCardItemViewController>(*form, 0, "征途游戏点卡")));
  ASSERT_TRUE((choose<GameCardItemViewController>(*form, 1, "10")));
  ASSERT_TRUE(form->nextButton()->tap());
  ASSERT_TRUE(pump([&] { return std::dynamic_pointer_cast<SwipeViewController>(top()) != nullptr; }));
  RunLoop::main().advance(1);
  EXPECT_EQ(calls("checkin"), 1u);
  // No wallet marker: the reader's terminal signs the inquiry.
  EXPECT_EQ(lastRequestTo("queryTrans")->formValue("termid"), kBoxKsn);
  EXPECT_TRUE(multPays.empty());
  auto swipe = std::dynamic_pointer_cast<SwipeViewController>(top());
  EXPECT_EQ(swipe->businessType(), 4);
  ASSERT_TRUE(payByCard(*swipe));
  auto sent = commits();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].busid, "M20015");
  EXPECT_EQ(sent[0].srcsid, "Q1");
  EXPECT_EQ(sent[0].amountFen, 1000);
}

}  // namespace
}  // namespace nvx
