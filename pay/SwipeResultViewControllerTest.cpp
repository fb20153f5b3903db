#include "pay/SwipeResultViewController.h"

#include <gtest/gtest.h>

#include "app/ui/testing/TestPictureBundle.h"
#include "app/ui/testing/TestScreenServices.h"
#include "core/shell/ScreenRegistry.h"
#include "pay/PayScreens.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Inspector.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::ui::Inspector;
using testing::NamedTestScreen;

// The application services the receipt reaches: the home screen's ways into a business and its
// tables, the marketing dispatch, the reminder commit and the calling app, all recorded.
class ReceiptServices : public testing::TestScreenServices {
 public:
  void gotoNewBusiness(const std::optional<std::string>& title) override { titles.push_back(title); }
  void gotoFunctionView(const std::string& code) override { codes.push_back(code); }
  std::optional<std::string> businessClassOfCode(const std::string& busid) override {
    auto it = table.find(busid);
    return it == table.end() ? std::nullopt : std::optional(it->second);
  }
  std::optional<std::string> boxTitleOfScreenClass(const std::string& cls) override {
    return cls == "MobileRechargeViewController" ? std::optional<std::string>("手机充值") : std::nullopt;
  }
  void marketingSchedulling(const std::string& aType, const std::string& note, const std::string& content,
                            const std::string& aUrl) override {
    marketing.push_back({aType, note, content, aUrl});
  }
  void commitAddReminderForCardnum(const std::string& card) override { reminders.push_back(card); }
  void returnToCallingApp(bool failed) override { returns.push_back(failed); }

  std::map<std::string, std::string> table = {
      {"M20011", "MobileRechargeViewController"}, {"M20012", "手机充值"}, {"M20013", ""},
      {"M20014", "GameCardRechargeViewController"}};
  std::vector<std::optional<std::string>> titles;
  std::vector<std::string> codes;
  std::vector<std::vector<std::string>> marketing;
  std::vector<std::string> reminders;
  std::vector<bool> returns;
};

// The marketing request, answered by the test.
class FakeReceiptOperations : public ReceiptOperations {
 public:
  void getMarketingWithBusId(const std::string& busid, MarketingCompletion completion) override {
    busids.push_back(busid);
    pending = std::move(completion);
  }
  void answer(MarketingReply reply) {
    auto done = std::move(pending);
    pending = nullptr;
    ASSERT_TRUE(done);
    done(std::move(reply));
  }
  std::vector<std::string> busids;
  MarketingCompletion pending;
};

const Json kForm = {{"K_TRANSACTION_TARGET", "6225880012345678"}, {"K_TRANSACTION_AMOUNT", "100.00"},
                    {"K_TRANSACTION_INFO", "电费"}};
const Json kReply = {{"sysref", "REF1"}, {"pan", "6222****0123"}, {"price", "10050"}, {"fee", "50"}};

class SwipeResultViewControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services = std::make_shared<ReceiptServices>();
    AppServices::install(services);
    pay::registerScreens();
    ScreenRegistry::shared().add("MobileRechargeViewController",
                                 [] { return std::make_shared<NamedTestScreen>("MobileRechargeViewController"); });
    ScreenRegistry::shared().add("GameCardRechargeViewController",
                                 [] { return std::make_shared<NamedTestScreen>("GameCardRechargeViewController"); });
  }
  void TearDown() override { AppServices::install(nullptr); }

  // A form and the pay screen under the receipt, as a payment leaves the stack.
  std::shared_ptr<SwipeResultViewController> show(int type, Json form = kForm, Json reply = kReply,
                                                  std::string busid = "M20011") {
    services->navigation->push(std::make_shared<NamedTestScreen>("BusinessForm"), false);
    services->navigation->push(std::make_shared<NamedTestScreen>("SwipeViewController"), false);
    auto receipt = std::dynamic_pointer_cast<SwipeResultViewController>(
        ScreenRegistry::shared().create(PayResultScreen::kReceiptClassName));
    EXPECT_TRUE(receipt);
    receipt->setOperations(operations);
    receipt->setBusinessType(type);
    receipt->setTransactionData(std::move(form));
    receipt->setRetData(std::move(reply));
    receipt->setTransactionBusId(std::move(busid));
    services->navigation->push(receipt, false);
    RunLoop::main().runUntilIdle();
    return receipt;
  }
  std::string top() const { return services->navigation->topViewController()->className(); }
  // The card: the first subview of the scroll view.
  static platform::ui::View& card(SwipeResultViewController& receipt) { return *receipt.scrollView()->subviews().front(); }
  static std::string icon(SwipeResultViewController& receipt) {
    for (const auto& v : card(receipt).subviews()) {
      auto image = std::dynamic_pointer_cast<platform::ui::ImageView>(v);
    if (image && image->image()) return image->image()->name;
    }
    return "";
  }

  testing::TestPictureBundle pictures{{"pay-done.png", "pay-error.png"}};
  std::shared_ptr<ReceiptServices> services;
  std::shared_ptr<FakeReceiptOperations> operations = std::make_shared<FakeReceiptOperations>();
};

TEST_F(SwipeResultViewControllerTest, BillPaymentShowsItsRowsAndLeadsHome) {
  auto receipt = show(2);
  Inspector inspector;
  EXPECT_EQ(receipt->successText(), "账单号付款成功");
  EXPECT_TRUE(inspector.byText("账单号付款成功"));
  EXPECT_TRUE(inspector.byText("100.50 元")) << inspector.render();
  EXPECT_TRUE(inspector.byText("0.50 元"));
  EXPECT_TRUE(inspector.byText("100.00 元")) << "the form's amount as given";
  EXPECT_EQ(card(*receipt).frame().height, 80 + 25.0 * 7);
  EXPECT_EQ(icon(*receipt), "pay-done.png");
  // One big home button only; no way back through the navigation bar.
  EXPECT_FALSE(inspector.byText("返回"));
  EXPECT_FALSE(receipt->navigationItem().leftBarButtonItem());
  EXPECT_EQ(operations->busids, std::vector<std::string>{"M20011"});
  ASSERT_TRUE(inspector.tap("返回首页"));
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(top(), "HomeViewController");
}

TEST_F(SwipeResultViewControllerTest, OneRowShowsTheErrorIconAndBadRepliesTheServerError) {
  auto one = show(14);
  EXPECT_EQ(one->rows().size(), 1u);
  EXPECT_EQ(icon(*one), "pay-error.png");
  EXPECT_FALSE(one->successText());
  services->navigation->popToRoot(false);
  auto bad = show(10, kForm, Json("oops"));
  bad->setRetStatus("0000", "已受理");
  EXPECT_TRUE(bad->rows().empty());
  EXPECT_EQ(bad->successText(), "服务器错误");
}

TEST_F(SwipeResultViewControllerTest, TransferShowsTheReplyMessageInPlaceOfTheSuccessText) {
  services->navigation->push(std::make_shared<NamedTestScreen>("SwipeViewController"), false);
  auto receipt = SwipeResultViewController::create();
  receipt->setOperations(operations);
  receipt->setBusinessType(10);
  receipt->setTransactionData(kForm);
  receipt->setRetData(kReply);
  receipt->setRetStatus("0000", "转账已受理，预计两小时内到账");
  services->navigation->push(receipt, false);
  EXPECT_EQ(receipt->successText(), "转账已受理，预计两小时内到账");
  EXPECT_EQ(receipt->title(), "受理成功");
}

TEST_F(SwipeResultViewControllerTest, OnlyARepaymentCommitsTheReminderWithTheRepaidCard) {
  show(2);
  EXPECT_TRUE(services->reminders.empty());
  show(1);
  EXPECT_EQ(services->reminders, std::vector<std::string>{"6225880012345678"});
}

TEST_F(SwipeResultViewControllerTest, MarketingReplyFillsTheBoxAndAFailureOnlyPrompts) {
  auto receipt = show(2);
  MarketingEntity item;
  item.setContent("本周刷卡立减5元");
  item.setAType("2");
  item.setNote("B00001");
  operations->answer({false, "", item});
  EXPECT_EQ(receipt->marketingLb()->text(), "本周刷卡立减5元");
  ASSERT_TRUE(receipt->marketingEntity());

  services->navigation->popToRoot(false);
  auto failed = show(2);
  const size_t rows = failed->rows().size();
  operations->answer({true, "网络连接失败", std::nullopt});
  EXPECT_NE(Inspector().render().find("网络连接失败"), std::string::npos);
  EXPECT_EQ(failed->marketingLb()->text(), "");
  EXPECT_FALSE(failed->marketingEntity());
  EXPECT_EQ(failed->rows().size(), rows);
  EXPECT_EQ(failed->successText(), "账单号付款成功");
  EXPECT_EQ(top(), SwipeResultViewController::kClassName);

  // "0000" without data: no item, no prompt.
  services->navigation->popToRoot(false);
  auto none = show(2);
  operations->answer({false, "", std::nullopt});
  EXPECT_FALSE(none->marketingEntity());
}

TEST_F(SwipeResultViewControllerTest, MarketingTapHandsOnlyOpenableItems) {
  auto receipt = show(2);
  Inspector inspector;
  // Before any reply the tap only leads home.
  ASSERT_TRUE(inspector.tapControl(*std::dynamic_pointer_cast<platform::ui::Control>(receipt->scrollView()->subviews().back())));
  MarketingEntity item;
  item.setContent("去看看");
  item.setAType("1");
  item.setAUrl("javascript:alert(1)");
  operations->answer({false, "", item});
  receipt->marketingOpen();
  item.setAUrl("https://ad.example/week");
  operations->busids.clear();
  receipt->requestAdvertise();
  operations->answer({false, "", item});
  receipt->marketingOpen();
  ASSERT_EQ(services->marketing.size(), 3u);
  EXPECT_EQ(services->marketing[0], (std::vector<std::string>{"4", "", "", ""}));
  EXPECT_EQ(services->marketing[1][0], "4") << "an advert without a web address opens nothing";
  EXPECT_EQ(services->marketing[2], (std::vector<std::string>{"1", "", "去看看", "https://ad.example/week"}));
}

TEST_F(SwipeResultViewControllerTest, MarketingReplyAfterThePageWasLeftIsDropped) {
  std::weak_ptr<SwipeResultViewController> weak = show(2);
  services->navigation->popToRoot(false);
  RunLoop::main().runUntilIdle();
  EXPECT_TRUE(weak.expired());
  MarketingEntity item;
  item.setContent("x");
  operations->answer({false, "", item});
  operations->pending = nullptr;
}

TEST_F(SwipeResultViewControllerTest, BackToTheBusinessGoesThroughTheHomeScreenByTitle) {
  struct Case {
    std::string busid;
    std::vector<std::optional<std::string>> titles;  // what the home screen was asked
  };
  for (const Case& c : {Case{"M20011", {std::string("手机充值")}},
                        Case{"M20014", {std::nullopt}},  // a screen class without a box
                        Case{"M20012", {}},              // a label, no screen class
                        Case{"M20013", {}},              // empty
                        Case{"X99999", {}},              // not in the table
                        Case{"", {}}}) {
    services->titles.clear();
    show(6, kForm, kReply, c.busid);
    ASSERT_TRUE(Inspector().tap("继续充值"));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(services->titles, c.titles) << c.busid;
    if (c.titles.empty()) {
      EXPECT_EQ(top(), "HomeViewController") << c.busid;
    }
    services->navigation->popToRoot(false);
  }
}

TEST_F(SwipeResultViewControllerTest, OpenedByAnotherAppHomeAnswersTheCaller) {
  services->otherAppLaunching = true;
  show(5);
  ASSERT_TRUE(Inspector().tap("返回首页"));
  EXPECT_EQ(services->returns, std::vector<bool>{false});
  EXPECT_EQ(top(), SwipeResultViewController::kClassName);
}

TEST_F(SwipeResultViewControllerTest, ButtonsByType) {
  struct Case {
    int type;
    std::vector<std::pair<std::string, double>> buttons;  // title, centre x
  };
  for (const Case& c : {Case{0, {{"继续查询", 80}, {"返回首页", 240}}}, Case{1, {{"继续还款", 80}, {"返回首页", 240}}},
                        Case{21, {{"继续充值>>", 80}, {"返回首页", 240}}}, Case{4, {{"继续购买", 80}, {"返回首页", 240}}},
                        Case{10, {{"继续转账", 80}, {"返回首页", 240}}}, Case{37, {{"继续汇款", 80}, {"返回首页", 240}}},
                        Case{28, {{"继续购物", 80}, {"返回首页", 240}}}, Case{27, {{"继续购物", 80}, {"返回首页", 240}}},
                        Case{11, {{"返回", 80}, {"返回首页", 240}}}, Case{31, {{"返回首页", 160}}},
                        Case{30, {{"返回首页", 160}}}}) {
    show(c.type);
    Inspector inspector;
    std::vector<std::pair<std::string, double>> found;
    for (const auto& v : inspector.byKind("Button")) {
      auto button = std::dynamic_pointer_cast<platform::ui::Button>(v);
      if (button && button->title(platform::ui::ControlState::Normal)) found.emplace_back(*button->title(platform::ui::ControlState::Normal), button->frame().midX());
    }
    EXPECT_EQ(found, c.buttons) << c.type;
    services->navigation->popToRoot(false);
  }
}

TEST_F(SwipeResultViewControllerTest, ContinueButtonsFindTheirScreens) {
  // Balance inquiry: back to the pay screen.
  show(0);
  ASSERT_TRUE(Inspector().tap("继续查询"));
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(top(), "SwipeViewController");
  services->navigation->popToRoot(false);
  // Repayment: the repayment form on the stack, else the root.
  services->navigation->push(std::make_shared<NamedTestScreen>("CCRepayInputViewController"), false);
  show(1);
  ASSERT_TRUE(Inspector().tap("继续还款"));
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(top(), "CCRepayInputViewController");
  services->navigation->popToRoot(false);
  show(1);
  ASSERT_TRUE(Inspector().tap("继续还款"));
  EXPECT_EQ(top(), "HomeViewController");
  // Lottery top-up: only a wallet recharge screen; without one the page stays.
  show(21);
  ASSERT_TRUE(Inspector().tap("继续充值>>"));
  EXPECT_EQ(top(), SwipeResultViewController::kClassName);
  services->navigation->popToRoot(false);
  // Mall: no mall screen on the stack leads home and opens the mall.
  show(26);
  ASSERT_TRUE(Inspector().tap("继续购物"));
  EXPECT_EQ(top(), "HomeViewController");
  EXPECT_EQ(services->codes, std::vector<std::string>{"B00015"});
}

TEST_F(SwipeResultViewControllerTest, OwnCardReceiptShowsThePayeeCardAndMallReceiptsTheHotline) {
  Json form = kForm;
  form["NVX_USERCARD"] = Json{{"NVX_USERNAME", "张三"}, {"NVX_BANKINFO", Json{{"bankName", "招商银行"}}}};
  auto own = show(31, form);
  Inspector inspector;
  EXPECT_TRUE(inspector.byText("请耐心等待银行入账"));
  for (const char* text : {"张三", "招商银行", "6225880012345678"}) EXPECT_TRUE(inspector.byText(text)) << text;
  EXPECT_EQ(own->scrollView()->contentSize().height, 560);
  services->navigation->popToRoot(false);

  auto mall = show(26);
  EXPECT_TRUE(Inspector().containingText("如有疑问请拨打客服电话："));
  EXPECT_TRUE(Inspector().byText("您的订单正在处理中"));
  EXPECT_EQ(mall->rows().size(), 3u) << "the order, the card and the amount: no reference row";
}

TEST_F(SwipeResultViewControllerTest, MovieRemarkMakesTheCardTallerAndTakesThreeLines) {
  Json form = kForm;
  form["channel"] = 1;
  auto receipt = show(23, form);
  EXPECT_EQ(card(*receipt).frame().height, 80 + 25.0 * static_cast<double>(receipt->rows().size()) + 25);
  bool threeLines = false;
  for (const auto& v : card(*receipt).subviews()) {
    auto label = std::dynamic_pointer_cast<platform::ui::Label>(v);
    if (label && label->numberOfLines() == 3) threeLines = true;
  }
  EXPECT_TRUE(threeLines);
}

TEST_F(SwipeResultViewControllerTest, ReceiptScreenIsReleasedWhenPopped) {
  EXPECT_EQ(testing::screensNotReleased(*services->navigation,
                                        {{PayResultScreen::kReceiptClassName, [this] {
                                            auto r = SwipeResultViewController::create();
                                            r->setOperations(operations);
                                            return std::static_pointer_cast<platform::ui::ViewController>(r);
                                          }}}),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace nvx
