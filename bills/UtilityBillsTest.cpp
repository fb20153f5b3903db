// The utility bills against the main-API stand-in: the area list and its default, the form drawn
// from a hand-written description, the bar-code row, the inquiry and the prepared commits, the
// amount step, a description that arrives for an area the user has left, the area remembered
// after a payment, and the life-service menu's login guard.
#include <gtest/gtest.h>

#include "app/ui/BarcodeButton.h"
#include "app/ui/testing/BarcodeTestFrame.h"
#include "bills/AmountCommitViewController.h"
#include "bills/CityChooseViewController.h"
#include "bills/LifeServiceMenuViewController.h"
#include "bills/PublicServiceViewController.h"
#include "bills/testing/BillsTestFixture.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/Camera.h"
#include "standin/mainapi/UtilityRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::Strings;
using Scripted = standin::MainApiStandin::Scripted;
using Names = std::vector<std::string>;

class UtilityBillsTest : public testing::BillsTestFixture {
 protected:
  std::shared_ptr<PublicServiceViewController> openWater() {
    auto screen = PublicServiceViewController::create();
    screen->initWithServiceType(0);
    services->navigation->push(screen, false);
    RunLoop::main().advance(1);
    return screen;
  }
  bool formArrives(PublicServiceViewController& screen) {
    return pump([&] { return !screen.formState().inputForm.empty(); });
  }
  // Types into an input row's field.
  void typeRow(PublicServiceViewController& screen, size_t row, const std::string& text) {
    (void)inspector().render();
    auto field = screen.fieldOfRow(row);
    ASSERT_NE(field, nullptr) << row;
    auto inner = field->internalTextField();
    ASSERT_TRUE(inner->becomeFirstResponder());
    ASSERT_TRUE(inspector().type(*inner, text).isOk());
    inner->resignFirstResponder();
    RunLoop::main().advance(0.1);
  }
  void addArea(const char* text, const char* value, std::string description) {
    auto lock = server->lock();
    auto& state = server->feature<standin::UtilityState>();
    state.cities["shuifei"].push_back(Json{{"text", text}, {"value", value}});
    state.descriptions[std::string("shuifei/") + value] = std::move(description);
  }
  static Json area(const char* text, const char* value) { return Json{{"text", text}, {"value", value}}; }
};

TEST_F(UtilityBillsTest, BeijingIsTheDefaultAreaAndAFormWithoutInquiryCommitsM80004) {
  auto screen = openWater();
  EXPECT_EQ(screen->title(), "水费");
  ASSERT_TRUE(formArrives(*screen));
  ASSERT_TRUE(screen->selectedCity().has_value());
  EXPECT_EQ(screen->selectedCity()->value("text", ""), "北京") << "listed second, chosen all the same";
  EXPECT_EQ(screen->cityNameLabel()->text(), "北京");
  const auto& rows = screen->formState().inputForm;
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0]->str("text"), "按户号");
  EXPECT_EQ(rows[1]->str("type"), "barcode");

  // The bill number comes from the camera: a code drawn by another library, read by the scanner.
  (void)inspector().render();
  auto button = inspector().first<BarcodeButton>();
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(inspector().tapControl(*button).isOk());
  RunLoop::main().advance(1);
  ASSERT_TRUE(platform::media::Camera::shared()
                  .show(testing::barcodeFrame(ZXing::BarcodeFormat::Code128, "0571202306010042"))
                  .isOk());
  RunLoop::main().advance(1);
  EXPECT_EQ(top(), screen);
  EXPECT_EQ(rows[1]->str("value"), "0571202306010042");

  typeRow(*screen, 2, "50.5");
  screen->theNextStep();
  ASSERT_EQ(multPays.size(), 1u) << prompt().value_or("");
  EXPECT_EQ(storedNames(), (Names{"uid", "vercode", "busid", "termid", "mobile", "userToken", "subbusid", "billno",
                                  "amount"}));
  EXPECT_EQ(stored("busid"), "M80004");
  EXPECT_EQ(stored("subbusid"), "BJWATER");
  EXPECT_EQ(stored("billno"), "0571202306010042");
  EXPECT_EQ(stored("amount"), "50.5") << "the typed amount as it stands";
  EXPECT_EQ(multPays[0]->businessType, 17);
  EXPECT_EQ(multPays[0]->texts[5], Strings::localized("PSPayCommit"));
  EXPECT_EQ(multPays[0]->transactionData["K_TRANSACTION_AMOUNT"], "50.50");
}

TEST_F(UtilityBillsTest, TheInquiredBillIsCommittedWithItsSerialNumberInYuan) {
  signInVirtualTerminal();
  auto screen = openWater();
  ASSERT_TRUE(formArrives(*screen));
  // Shanghai through the chooser: the chosen area is marked by its name.
  ASSERT_TRUE(inspector().tapCell(*screen->paymentTableView(), platform::ui::IndexPath{0, 0}).isOk());
  RunLoop::main().advance(1);
  auto chooser = std::dynamic_pointer_cast<CityChooseViewController>(top());
  ASSERT_NE(chooser, nullptr);
  (void)inspector().render();
  auto cells = chooser->citiListView()->visibleCells();
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_TRUE(cells[0]->contentView()->viewWithTag(CityChooseViewController::kCheckTag)->isHidden());
  EXPECT_FALSE(cells[1]->contentView()->viewWithTag(CityChooseViewController::kCheckTag)->isHidden());
  ASSERT_TRUE(inspector().tapCell(*chooser->citiListView(), platform::ui::IndexPath{0, 0}).isOk());
  RunLoop::main().advance(1);
  EXPECT_EQ(top(), screen);
  ASSERT_TRUE(pump([&] { return screen->formState().subbid == "SHWATER"; }));

  // Values with a time and an apostrophe survive the reading of the description.
  EXPECT_EQ(screen->noteInfo(), "每日 08:30-22:00 可缴费, it's the office's hours");
  ASSERT_NE(screen->formState().department, nullptr);
  ASSERT_EQ(screen->formState().inputForm.size(), 1u);

  typeRow(*screen, 0, "123");
  screen->theNextStep();
  EXPECT_EQ(prompt(), "缴费号码为10位数字");
  EXPECT_EQ(calls("queryTrans"), 0u);
  settle();

  screen->fieldOfRow(0)->setText("0571000001");
  screen->theNextStep();
  ASSERT_TRUE(pump([&] { return !multPays.empty(); })) << prompt().value_or("");
  auto inquiry = lastRequestTo("queryTrans");
  ASSERT_TRUE(inquiry.has_value());
  EXPECT_EQ(lastFieldNames("queryTrans"),
            (Names{"uid", "vercode", "busid", "billno", "subbusid", "mobile", "userToken", "termid"}))
      << "the wallet marker is signed and removed; the signing puts the virtual terminal last";
  EXPECT_EQ(storedNames(), (Names{"uid", "vercode", "busid", "srcsid", "termid", "mobile", "userToken", "subbusid",
                                  "billno", "amount", "jfdate"}));
  EXPECT_EQ(stored("busid"), "M80003");
  EXPECT_EQ(stored("srcsid"), "U1");
  EXPECT_EQ(stored("subbusid"), "SHWATER");
  EXPECT_EQ(stored("amount"), "123.450000");
  EXPECT_EQ(stored("jfdate"), "202612");
  auto info = multPays[0]->info;
  ASSERT_NE(info, nullptr);
}

TEST_F(UtilityBillsTest, TheAmountStepChecksTheOperatorOnWholeFen) {
  signInVirtualTerminal();
  addArea("广州", "440000", R"([{type:'hidden', key:'subbusid', value:'GZ'}, {type:'hidden', key:'queryTrans', value:'GZQ'},
      {type:'text', key:'billno', title:'户号'},
      {type:'hidden', key:'showInput2', equal:false, childs:[{hint:'金额', compare:[['price','>=']]}]}])");
  auto screen = openWater();
  ASSERT_TRUE(formArrives(*screen));
  screen->setSelectedCity(area("广州", "440000"));
  ASSERT_TRUE(pump([&] { return screen->formState().subbid == "GZ"; }));
  typeRow(*screen, 0, "0571000001");
  screen->theNextStep();
  ASSERT_TRUE(pump([&] { return std::dynamic_pointer_cast<AmountCommitViewController>(top()) != nullptr; }));
  auto step = std::dynamic_pointer_cast<AmountCommitViewController>(top());
  RunLoop::main().advance(1);
  EXPECT_EQ(step->amountField()->placeHolder(), "金额");

  for (const char* refused : {"123.44", "0"}) {
    step->amountField()->setText(refused);
    step->theNextStep();
    EXPECT_TRUE(multPays.empty()) << refused;
    settle();
  }
  step->amountField()->setText("123.45");
  step->theNextStep();
  ASSERT_EQ(multPays.size(), 1u) << prompt().value_or("");
  EXPECT_EQ(storedNames(), (Names{"uid", "vercode", "busid", "termid", "mobile", "userToken", "subbusid", "billno",
                                  "amount", "srcsid", "jfdate"}));
  EXPECT_EQ(stored("busid"), "M80003");
  EXPECT_EQ(stored("amount"), "123.45");
  EXPECT_EQ(multPays[0]->texts[5], Strings::localized("OkPayment"));
}

TEST_F(UtilityBillsTest, AZeroBillGoesToTheAmountStepEvenWhenThePriceIsToBePaidExactly) {
  signInVirtualTerminal();
  {
    auto lock = server->lock();
    server->feature<standin::UtilityState>().bills["0571000009"] = {0, "+", "1"};
  }
  addArea("深圳", "440300", R"([{type:'hidden', key:'subbusid', value:'SZ'}, {type:'hidden', key:'queryTrans', value:'SZQ'},
      {type:'text', key:'billno', title:'户号'}, {type:'hidden', key:'showInput2', equal:true}])");
  auto screen = openWater();
  ASSERT_TRUE(formArrives(*screen));
  screen->setSelectedCity(area("深圳", "440300"));
  ASSERT_TRUE(pump([&] { return screen->formState().subbid == "SZ"; }));
  EXPECT_TRUE(screen->formState().payEqualPrice);
  typeRow(*screen, 0, "0571000009");
  screen->theNextStep();
  ASSERT_TRUE(pump([&] { return std::dynamic_pointer_cast<AmountCommitViewController>(top()) != nullptr; }));
  auto step = std::dynamic_pointer_cast<AmountCommitViewController>(top());
  RunLoop::main().advance(1);
  EXPECT_NE(inspector().byText(Strings::localized("Balance")), nullptr) << "\"+\" is a balance";
  EXPECT_NE(inspector().byText("0.00"), nullptr) << "a zero balance is shown too";
  step->amountField()->setText("30");
  step->theNextStep();
  ASSERT_EQ(multPays.size(), 1u) << prompt().value_or("");
  EXPECT_EQ(multPays[0]->texts[2], Strings::localized("DebitCardPlace")) << "the bill takes debit cards only";
}

TEST_F(UtilityBillsTest, ADescriptionForAnAreaTheUserLeftIsDropped) {
  auto screen = openWater();
  ASSERT_TRUE(formArrives(*screen));
  server->script("getBizConfig", Scripted::slow(std::chrono::milliseconds(300)), 1);
  screen->setSelectedCity(area("上海", "310000"));
  screen->setSelectedCity(area("北京", "110000"));
  ASSERT_TRUE(pump([&] { return calls("getBizConfig") >= 3; }));
  ASSERT_TRUE(pump([&] { return !screen->formState().inputForm.empty(); }));
  platform::RunLoop::main().drainIoUntil([] { return false; }, std::chrono::milliseconds(500));
  RunLoop::main().advance(1);
  EXPECT_EQ(screen->formState().subbid, "BJWATER") << "the slow Shanghai reply came last and was dropped";
  EXPECT_FALSE(screen->noteInfo().has_value());
}

TEST_F(UtilityBillsTest, AnUnreadableDescriptionShowsAPromptAndNoForm) {
  addArea("杭州", "330000", R"([{type:'common', childs:[{name:'a', type:'list', data:[{text:'x', childs:[{include:'a'}]}]}]},
                               {type:'hidden', key:'subbusid', value:'HZ'}, {include:'a'}])");
  auto screen = openWater();
  ASSERT_TRUE(formArrives(*screen));
  settle();
  screen->setSelectedCity(area("杭州", "330000"));
  ASSERT_TRUE(awaitReply([&] { return prompt().has_value(); }));
  EXPECT_EQ(prompt(), Strings::localized("Error_Data"));
  EXPECT_TRUE(screen->formState().inputForm.empty());
  settle();
  screen->theNextStep();
  EXPECT_EQ(prompt(), Strings::localized("InputPayInfoFirst"));
}

TEST_F(UtilityBillsTest, ASuccessfulPaymentRemembersTheAreaForTheNextScreen) {
  auto screen = openWater();
  ASSERT_TRUE(formArrives(*screen));
  screen->setSelectedCity(area("上海", "310000"));
  platform::NotificationCenter::shared().post("SwipeSucceedNotification");
  EXPECT_EQ(platform::UserDefaults::standard().dictionary("shuifeiCityName"), area("上海", "310000"));
  services->navigation->pop(false);
  screen.reset();

  auto next = openWater();
  ASSERT_TRUE(next->selectedCity().has_value());
  EXPECT_EQ(next->selectedCity()->value("text", ""), "上海");
  ASSERT_TRUE(pump([&] { return next->formState().subbid == "SHWATER"; }));
  EXPECT_FALSE(platform::UserDefaults::standard().contains("dianfeiCityName"));
}

TEST_F(UtilityBillsTest, TheBillMenuAsksForALoginAndOpensTheRowAfterIt) {
  User::currentUser().setUserToken("");
  auto menu = open<PayBusinessViewController>();
  EXPECT_EQ(menu->title(), "生活服务-缴费");
  ASSERT_TRUE(inspector().tapCell(*menu->tableview(), platform::ui::IndexPath{0, 0}).isOk());
  RunLoop::main().advance(1);
  auto login = std::dynamic_pointer_cast<testing::TestLoginScreen>(top());
  ASSERT_NE(login, nullptr) << "the header row asks for a login too";
  EXPECT_EQ(login->boxTitle, "0");
  menu->gotoViewOfBoxTitle("0");
  RunLoop::main().advance(1);
  EXPECT_EQ(top(), login) << "nothing opens for the header row";
  services->navigation->pop(false);

  ASSERT_TRUE(inspector().tapCell(*menu->tableview(), platform::ui::IndexPath{0, 3}).isOk());
  RunLoop::main().advance(1);
  login = std::dynamic_pointer_cast<testing::TestLoginScreen>(top());
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(login->boxTitle, "3");
  login->logIn(kLoginName, kUserToken);
  services->navigation->pop(false);
  menu->gotoViewOfBoxTitle(login->boxTitle);
  RunLoop::main().advance(1);
  auto gas = std::dynamic_pointer_cast<PublicServiceViewController>(top());
  ASSERT_NE(gas, nullptr);
  EXPECT_EQ(gas->serviceType(), 2);
  EXPECT_EQ(gas->title(), "燃气费");

  // Logged in, a row opens at once.
  services->navigation->pop(false);
  ASSERT_TRUE(inspector().tapCell(*menu->tableview(), platform::ui::IndexPath{0, 1}).isOk());
  RunLoop::main().advance(1);
  auto water = std::dynamic_pointer_cast<PublicServiceViewController>(top());
  ASSERT_NE(water, nullptr);
  EXPECT_EQ(water->serviceType(), 0);
}

}  // namespace
}  // namespace nvx
