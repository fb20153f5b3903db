// The card status row, the time-out page, the failure page and the payment form base as a user
// sees and works them.
#include <gtest/gtest.h>

#include "app/ui/testing/TestPictureBundle.h"
#include "core/session/User.h"
#include "pay/CardSwipeStatusView.h"
#include "pay/PaymentBaseViewController.h"
#include "pay/SwipeTimeOutViewController.h"
#include "pay/SwiperCommitFailViewController.h"
#include "pay/testing/PayTestSupport.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Label.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::Strings;
using platform::ui::AlertView;
using platform::ui::Inspector;
using testing::NamedTestScreen;
using testing::PayTestServices;

// --- card status row -------------------------------------------------------------------------------

class PressCounter : public CardSwipeStatusViewDelegate {
 public:
  void cardSwiperStatusViewAfreshSwipeButtonPressed(CardSwipeStatusView&) override { ++presses; }
  int presses = 0;
};

TEST(CardSwipeStatusView, EachStateShowsItsOwnMarkTextAndButton) {
  testing::TestPictureBundle pictures({"swipe-alert.png", "swipe-error.png", "reswipe-btn.png"});
  auto counter = std::make_shared<PressCounter>();
  auto row = CardSwipeStatusView::create({10, 2, 280, 40}, counter);
  auto shown = [](const auto& view) { return view && !view->isHidden(); };
  struct Expect {
    bool animation, spinner, icon, button;
    std::string text;
    std::string picture;
  };
  auto check = [&](const Expect& e) {
    EXPECT_EQ(shown(row->swipeAnimationView()), e.animation);
    EXPECT_EQ(shown(row->cardActivityIndicator()), e.spinner);
    EXPECT_EQ(shown(row->cardStatusImageView()), e.icon);
    EXPECT_EQ(shown(row->afreshSwipeButton()), e.button);
    EXPECT_EQ(row->text(), e.text);
    EXPECT_EQ(row->cardTextField()->text(), e.text);
    if (!e.picture.empty()) {
      ASSERT_TRUE(row->cardStatusImageView()->image());
      EXPECT_EQ(row->cardStatusImageView()->image()->name, e.picture);
    }
  };

  row->beginSwipeWithPrompt("请刷卡");
  check({true, false, false, false, "请刷卡", ""});
  row->startProcessingWithPrompt("读卡中");
  check({false, true, false, false, "      读卡中", ""});
  row->stopWithWarningInfo("超时");
  check({false, false, true, true, "      超时", "swipe-alert.png"});
  // Stopping the animations leaves the warning as it is.
  row->stopWithTimeout();
  check({false, false, true, true, "      超时", "swipe-alert.png"});
  row->stopWithErrorInfo("已中断");
  check({false, false, true, true, "      已中断", "swipe-error.png"});
  row->scusessWithCardNumber("622202******1234");
  check({false, false, false, true, "622202******1234", ""});

  // One press until the next state shows the button again.
  EXPECT_TRUE(row->afreshSwipeButton()->tap());
  EXPECT_FALSE(row->afreshSwipeButton()->tap());
  EXPECT_EQ(counter->presses, 1);
  row->stopWithWarningInfo("请重新刷卡");
  EXPECT_TRUE(row->afreshSwipeButton()->tap());
  EXPECT_EQ(counter->presses, 2);
}

// --- result pages ------------------------------------------------------------------------------------

class PayPageTest : public ::testing::Test {
 protected:
  void SetUp() override { AppServices::install(services); }
  void TearDown() override {
    AlertView::dismissAll();
    AppServices::install(nullptr);
  }
  // The business form and the pay screen under the page.
  void push(const std::shared_ptr<platform::ui::ViewController>& page) {
    services->navigation->push(std::make_shared<NamedTestScreen>("BusinessForm"), false);
    services->navigation->push(std::make_shared<NamedTestScreen>("SwipeViewController"), false);
    services->navigation->push(page, false);
    RunLoop::main().advance(1);
  }
  std::string topClass() const { return services->navigation->topViewController()->className(); }

  std::shared_ptr<PayTestServices> services = std::make_shared<PayTestServices>();
};

TEST_F(PayPageTest, TheTimeOutPageShowsItsRowsTheFirstInRedAndOnlyItsOwnWaysOn) {
  auto page = SwipeTimeOutViewController::create("Q2026", "100.00");
  push(page);
  EXPECT_EQ(page->title(), "交易超时");
  EXPECT_EQ(page->navigationItem().leftBarButtonItem(), nullptr);
  EXPECT_TRUE(page->navigationItem().hidesBackButton());
  auto number = std::dynamic_pointer_cast<platform::ui::Label>(Inspector().byText("Q2026"));
  ASSERT_TRUE(number);
  EXPECT_EQ(number->textColor(), platform::ui::Color::rgb255(255, 0, 0));
  auto amount = std::dynamic_pointer_cast<platform::ui::Label>(Inspector().byText("100.00"));
  ASSERT_TRUE(amount);
  EXPECT_NE(amount->textColor(), platform::ui::Color::rgb255(255, 0, 0));
  EXPECT_EQ(amount->frame().y, 115);

  // The hotline; on a device that cannot call, the alert, and the page stays.
  ASSERT_TRUE(Inspector().tap(Strings::localized("PO_Ask_Note")).isOk());
  EXPECT_EQ(platform::UrlOpener::shared().opened(),
            std::vector<std::string>{"tel:" + Strings::localized("ServicePhoneNumber")});
  EXPECT_EQ(AlertView::top(), nullptr);
  platform::UrlOpener::shared().setOpenable("tel", false);
  ASSERT_TRUE(Inspector().tap(Strings::localized("PO_Ask_Note")).isOk());
  ASSERT_TRUE(AlertView::top());
  EXPECT_EQ(AlertView::top()->message(), Strings::localized("NoPhone"));
  ASSERT_TRUE(Inspector().answerAlert(Strings::localized("Know")).isOk());
  EXPECT_EQ(topClass(), SwipeTimeOutViewController::kClassName);

  ASSERT_TRUE(Inspector().tap(Strings::localized("PO_Back")).isOk());
  RunLoop::main().advance(1);
  EXPECT_EQ(topClass(), "HomeViewController");
}

TEST_F(PayPageTest, WithoutAQueryNumberTheAmountRowIsTheRedOneAndTheButtonsMoveUp) {
  auto full = SwipeTimeOutViewController::create("Q1", "5.00");
  push(full);
  const double fullY = Inspector().byText(Strings::localized("PO_Back"))->frame().center().y;
  services->navigation->popToRoot(false);
  auto page = SwipeTimeOutViewController::create(std::nullopt, "5.00");
  push(page);
  EXPECT_FALSE(Inspector().byText("交易查询号:"));
  auto amount = std::dynamic_pointer_cast<platform::ui::Label>(Inspector().byText("5.00"));
  ASSERT_TRUE(amount);
  EXPECT_EQ(amount->textColor(), platform::ui::Color::rgb255(255, 0, 0));
  const double y = Inspector().byText(Strings::localized("PO_Back"))->frame().center().y;
  EXPECT_EQ(fullY - y, 25);
}

std::shared_ptr<SwiperCommitFailViewController> failPage(int type, Json data, std::optional<std::string> text) {
  auto page = SwiperCommitFailViewController::create();
  page->setBusinessType(type);
  page->setTransactionData(std::move(data));
  page->setFailResultStr(std::move(text));
  return page;
}

TEST_F(PayPageTest, TheFailurePageShowsTheErrorTextOrElseTheTypesFallbackAndTheTypesRows) {
  const Json data{{"K_TRANSACTION_TARGET", "8800123"}, {"K_TRANSACTION_INFO", "水费 2026年11月"},
                  {"K_TRANSACTION_AMOUNT", "1234.50"}};
  auto page = failPage(2, data, std::nullopt);
  push(page);
  EXPECT_EQ(page->title(), "交易失败");
  EXPECT_TRUE(Inspector().byText("账单号付款失败"));
  EXPECT_TRUE(Inspector().byText("8800123"));
  EXPECT_TRUE(Inspector().byText("水费 2026年11月"));
  EXPECT_TRUE(Inspector().byText("1,234.50 元"));
  services->navigation->popToRoot(false);

  push(failPage(2, data, "卡号无效"));
  EXPECT_TRUE(Inspector().byText("卡号无效"));
  EXPECT_FALSE(Inspector().byText("账单号付款失败"));
  services->navigation->popToRoot(false);

  // Not a dictionary: no rows, the server-error text.
  push(failPage(2, Json("x"), std::nullopt));
  EXPECT_TRUE(Inspector().byText("服务器错误"));
}

TEST_F(PayPageTest, TheCardGrowsTwentyFivePointsPerRow) {
  const Json data{{"NVX_SCAN_BANKCARD", Json{{"NVX_SCAN_NAME", "张三"}}}, {"K_TRANSACTION_AMOUNT", "1"}};
  auto content = SwiperCommitFailViewController::contentFor(33, data);
  ASSERT_EQ(content.rows.size(), 5u);
  EXPECT_EQ(content.rows[4]->amount(), 100);
  EXPECT_EQ(SwiperCommitFailViewController::contentFor(32, Json::object()).rows.size(), 4u);
  auto page = failPage(32, Json::object(), std::nullopt);
  push(page);
  auto card = Inspector().byText("交易失败")->superview();
  EXPECT_EQ(card->frame().height, 210);
  // Missing amounts read 0, never garbage.
  EXPECT_EQ(SwiperCommitFailViewController::contentFor(30, Json{{"K_TRANSACTION_AMOUNT", "abc"}}).rows[0]->amount(), 0);
}

TEST_F(PayPageTest, TheFailurePagesButtonsLeadWhereTheTypeSays) {
  struct Case {
    int type;
    const char* button;
    std::string top;
  };
  const Case cases[] = {
      {0, "继续查询", "SwipeViewController"},
      {0, "返回首页", "HomeViewController"},
      {2, "重新交易", "BusinessForm"},
      {2, "返回首页", "HomeViewController"},
      {11, "返回首页", "BusinessForm"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + c.button);
    push(failPage(c.type, Json::object(), "失败"));
    ASSERT_TRUE(Inspector().tap(c.button).isOk());
    RunLoop::main().advance(1);
    EXPECT_EQ(topClass(), c.top);
    services->navigation->popToRoot(false);
  }
}

TEST_F(PayPageTest, AFailedCheckoutAnswersItsCallerAsFailedAndNeverLeavesTheUserStuck) {
  struct Case {
    int type;
    bool called;
    std::vector<bool> returns;    // failed flags of the way back to the calling app
    std::vector<bool> redirects;  // the older checkout's answers (true = completed)
    std::string top;
  };
  const Case cases[] = {
      {14, true, {true}, {}, SwiperCommitFailViewController::kClassName},
      {35, true, {true}, {}, SwiperCommitFailViewController::kClassName},
      {14, false, {}, {false}, "HomeViewController"},
      {35, false, {}, {}, "HomeViewController"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + (c.called ? " called" : ""));
    services->returns.clear();
    services->redirects.clear();
    services->otherAppLaunching = c.called;
    push(failPage(c.type, Json::object(), "失败"));
    EXPECT_FALSE(Inspector().byText("重新交易"));
    ASSERT_TRUE(Inspector().tap("返回").isOk());
    RunLoop::main().advance(1);
    EXPECT_EQ(services->returns, c.returns);
    EXPECT_EQ(services->redirects, c.redirects);
    EXPECT_EQ(topClass(), c.top);
    services->navigation->popToRoot(false);
  }
}

// --- payment form base ---------------------------------------------------------------------------------

class BillForm : public PaymentBaseViewController {
 public:
  BillForm(bool needPhone, bool optional, std::string title) {
    setPaymentNumberLabelTitle(std::move(title));
    setPaymentNumberPlaceholder("请输入账单号");
    setPayMoneysLabelTitle("付款金额");
    setPayMoneysPlaceholder("请输入付款金额");
    setIsNeedPhoneNumber(needPhone);
    setIsOptionalOfPhoneField(optional);
    setDefaultPhoneNumber(true);
  }
  std::string className() const override { return "BillNumberRemittanceVeiwController"; }
  void theNextStep() override {
    PaymentBaseViewController::theNextStep();
    seen = paymentNumber() + "|" + payMoneys() + "|" + phoneNumber();
  }
  std::string seen;
};

class PaymentFormTest : public PayPageTest {
 protected:
  std::shared_ptr<BillForm> open(bool needPhone, bool optional, std::string title = "账单号") {
    User::currentUser().setLoginName("13800001111");
    auto form = std::make_shared<BillForm>(needPhone, optional, std::move(title));
    services->navigation->push(form, false);
    RunLoop::main().advance(1);
    form->paymentTableView()->layoutIfNeeded();
    return form;
  }
};

TEST_F(PaymentFormTest, TheFieldsRefuseWhatTheyMustAndTidyTheirTextWhenEditingEnds) {
  auto form = open(true, false);
  auto number = form->paymentNumberField();
  ASSERT_TRUE(number->becomeFirstResponder());
  number->typeText("12a3b4");
  EXPECT_EQ(number->text(), "1234");
  number->typeText("\b");   // a deletion is always accepted
  auto amount = form->payMoneysField();
  ASSERT_TRUE(amount->becomeFirstResponder());
  amount->typeText("5");
  ASSERT_TRUE(amount->resignFirstResponder());
  EXPECT_EQ(amount->text(), "5.00");
  EXPECT_EQ(form->payMoneys(), "5.00");

  // The login name prefilled 3-4-4; a picked contact stored bare and shown grouped.
  EXPECT_EQ(form->phoneNumberField()->text(), "138-0000-1111");
  form->getPhoneNumberSuccess("139-1234-5678");
  EXPECT_EQ(form->phoneNumber(), "13912345678");
  EXPECT_EQ(form->phoneNumberField()->text(), "139-1234-5678");

  ASSERT_TRUE(form->theNextButton()->tap());
  EXPECT_EQ(form->seen.substr(form->seen.find('|')), "|5.00|13912345678");
}

TEST_F(PaymentFormTest, TheTableAndTheNextButtonFollowThePhoneSectionAndItsSwitch) {
  auto plain = open(false, false, "");
  EXPECT_EQ(plain->paymentTableView()->numberOfSections(), 1);
  EXPECT_EQ(plain->theNextButton()->center().y, 163);
  EXPECT_EQ(plain->paymentNumberField()->frame().x, 42);
  EXPECT_EQ(plain->paymentNumberField()->frame().width, 263);
  services->navigation->popToRoot(false);

  auto form = open(true, true);
  auto table = form->paymentTableView();
  EXPECT_EQ(table->numberOfSections(), 2);
  EXPECT_EQ(form->theNextButton()->center().y, 248);
  EXPECT_EQ(table->numberOfRows(1), 1);
  ASSERT_TRUE(form->SMSNotificationSwitch()->tap());
  EXPECT_TRUE(form->SMSNotificationSwitchIsOn());
  EXPECT_EQ(table->numberOfRows(1), 2);
  ASSERT_TRUE(form->SMSNotificationSwitch()->tap());
  EXPECT_EQ(table->numberOfRows(1), 1);
}

}  // namespace
}  // namespace nvx
