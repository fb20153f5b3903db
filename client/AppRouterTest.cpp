// Other apps open the running client by URL: a partner bank's signed message, a merchant's
// checkout of an order, an older merchant's ";"-fields. Each call is served against the main-API
// stand-in and answered exactly once by the URL the client opens.
#include <gtest/gtest.h>

#include "app/ui/testing/TestScreenServices.h"
#include "client/testing/StartupTestFixture.h"
#include "core/crypto/Base64.h"
#include "core/session/User.h"
#include "core/shell/ScreenRegistry.h"
#include "core/text/UrlEscaping.h"
#include "net/TerminalManager.h"
#include "pay/AppScheduller.h"
#include "pay/CheckoutResultPages.h"
#include "pay/CheckoutVerification.h"
#include "pay/NVXCheckoutAppScheduller.h"
#include "pay/PayScreenSetup.h"
#include "pay/SwipeViewController.h"
#include "pay/ThirdPartyAppScheduller.h"
#include "pay/Tools.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "standin/mainapi/MultiPayRoutes.h"
#include "standin/mainapi/PartnerRoutes.h"

namespace nvx::testing {
namespace {

using platform::Json;
using platform::ui::AlertView;
using platform::ui::LifecycleDriver;

constexpr const char* kLoginName = "13800000000";
constexpr const char* kToken = "token-1";
constexpr const char* kPartnerPhone = "13900000001";
constexpr const char* kPartnerUser = "DYU1";
constexpr const char* kCheckout =
    "nvx://callIdentifier=com.nuvexa.checkout&merId=M001&orderId=O%2642&amount=12.34&mac=ABCDEF"
    "&redirectURL=shopapp&productName=%E5%92%96%E5%95%A1%3D1";

// A business screen of another module, as a partner function opens it.
class RecordingBusinessScreen : public NVXViewController, public PartnerParamsScreen {
 public:
  explicit RecordingBusinessScreen(std::string name) : name_(std::move(name)) {}
  std::string className() const override { return name_; }
  void setParamsEntity(const TPVerifyDecryptEntity& e) override { entity = e; }
  std::optional<TPVerifyDecryptEntity> entity;

 private:
  std::string name_;
};

class RecordingMultPay : public platform::ui::ViewController, public PayScreenSetup {
 public:
  std::string className() const override { return kMultPayClassName; }
  void setInfo(std::shared_ptr<TransactionInfoSource>) override {}
  void customizeSwipeViewWithNavTitle(std::optional<std::string>, std::optional<std::string>,
                                      std::optional<std::string>, std::optional<std::string>,
                                      std::optional<std::string>, std::optional<std::string>, int type) override {
    businessType = type;
  }
  void setTransactionData(Json data) override { transactionData = std::move(data); }
  int businessType = -1;
  Json transactionData;
};

class AppRouterTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    launchAndStart();
    api->addSession(kLoginName, kToken);
    auto& opener = platform::UrlOpener::shared();
    for (const char* scheme : {"bankdey", "shopapp"}) opener.setOpenable(scheme, true);
    AppScheduller::setProcessExit([this](int code) { exits.push_back(code); });
    auto& registry = ScreenRegistry::shared();
    for (const char* name : {"DYTransferViewController", "TradingQueryViewController"}) {
      registry.add(name, [this, name = std::string(name)] {
        auto screen = std::make_shared<RecordingBusinessScreen>(name);
        business.push_back(screen);
        return screen;
      });
    }
    registry.add(LoginScreen::kClassName, [this] {
      auto login = std::make_shared<TestLoginScreen>();
      logins.push_back(login);
      return login;
    });
    registry.add(PayScreenSetup::kMultPayClassName, [this] {
      auto screen = std::make_shared<RecordingMultPay>();
      multPays.push_back(screen);
      return screen;
    });
  }
  void TearDown() override {
    CheckoutReaderGate::install({});
    AlertView::dismissAll();
    StartupTest::TearDown();
  }

  void logIn() {
    User::currentUser().setLoginName(kLoginName);
    User::currentUser().setUserToken(kToken);
  }
  // The reader's and the wallet's terminals signed in, so that inquiries carry a MAC.
  void signTerminals() {
    User& user = User::currentUser();
    user.setPsamId("ABCDEF0123456789");
    user.setPsamNo("V000000000000042");
    TerminalManager reader;
    ASSERT_TRUE(reader.hardwareTermSignWithViewController(delegate->home(), nullptr)) << reader.error();
    TerminalManager wallet;
    ASSERT_TRUE(wallet.virtualTermSignWithViewController(delegate->home(), nullptr)) << wallet.error();
  }
  void passReaderGate() {
    CheckoutReaderGate::install([](NVXViewController&, NVXViewController::ValidCompletion done) { done(true); });
  }

  template <class T>
  T& partner() {
    auto lock = api->lock();
    return api->feature<T>();
  }
  Json partnerContent() const {
    return Json{{"phoneNumber", kPartnerPhone}, {"timeStamp", "20261211120000"}, {"callbackUrl", "bankdey://back-to-bank"},
                {"channelNo", "DY0001"},        {"userId", kPartnerUser},        {"userType", "1"},
                {"bankcards", Json::array({"6222020000000001"})}, {"accountName", "李四"}};
  }
  std::string message(const std::string& funcNo) { return standin::partnerMessage(*api, "DY0001", funcNo, partnerContent()); }
  static std::string partnerUrl(const std::string& message) {
    return std::string("nvx://callIdentifier=") + DYAppScheduller::kCallIdentifier +
           "&message=" + text::encodeURLString(message);
  }

  static std::vector<std::string> opened() { return platform::UrlOpener::shared().opened(); }
  static bool serving() { return AppScheduller::sharedAppScheduller()->isOtherAppLaunching(); }
  std::shared_ptr<platform::ui::ViewController> top() const {
    return delegate->navigationController()->topViewController();
  }
  template <class T>
  std::shared_ptr<T> awaitTop() {
    std::shared_ptr<T> found;
    await([&] { return (found = std::dynamic_pointer_cast<T>(top())) != nullptr; });
    return found;
  }
  static std::shared_ptr<AlertView> awaitAlert() {
    await([] { return AlertView::top() != nullptr; });
    return AlertView::top();
  }
  std::vector<std::map<std::string, std::string>> billRequests() { return partner<standin::PartnerState>().billRequests; }

  std::vector<int> exits;
  std::vector<std::shared_ptr<RecordingBusinessScreen>> business;
  std::vector<std::shared_ptr<TestLoginScreen>> logins;
  std::vector<std::shared_ptr<RecordingMultPay>> multPays;
};

// --- partner banks ------------------------------------------------------------------------------

TEST_F(AppRouterTest, APartnerUserWithABoundAccountGetsTheBusinessAndBackReturnsToTheBankLoggedOut) {
  partner<standin::PartnerState>().bindings[kPartnerUser] = kLoginName;
  ASSERT_TRUE(LifecycleDriver::openURL(partnerUrl(message("3"))));
  EXPECT_TRUE(serving());
  auto screen = awaitTop<RecordingBusinessScreen>();
  ASSERT_TRUE(screen);
  // The regional bank's transfer, with what the server decrypted.
  EXPECT_EQ(screen->className(), "DYTransferViewController");
  ASSERT_TRUE(screen->entity);
  EXPECT_EQ(screen->entity->accountName, "李四");
  // The bound account is logged in under its own name, not the bank's phone number.
  EXPECT_EQ(User::currentUser().loginName(), kLoginName);
  EXPECT_TRUE(User::currentUser().isLogined());

  screen->backButtonPressed();
  EXPECT_EQ(opened(), std::vector<std::string>{"bankdey://back-to-bank"});
  EXPECT_FALSE(User::currentUser().isLogined());
  EXPECT_FALSE(serving());
  EXPECT_EQ(top(), delegate->home());
}

TEST_F(AppRouterTest, APartnerUserWithoutAnAccountLogsInAndIsBoundBeforeTheBusinessOpens) {
  ASSERT_TRUE(LifecycleDriver::openURL(partnerUrl(message("12"))));
  ASSERT_TRUE(await([&] { return !logins.empty(); }));
  EXPECT_TRUE(business.empty());
  logins.back()->logIn(kLoginName, kToken);
  ASSERT_TRUE(await([&] { return !business.empty(); }));
  EXPECT_EQ(business.back()->className(), "TradingQueryViewController");
  EXPECT_EQ(partner<standin::PartnerState>().bindings[kPartnerUser], kLoginName);
}

TEST_F(AppRouterTest, MessagesTheServerRefusesRunNoFunctionAndTheGiveUpAlertReturnsToTheBank) {
  partner<standin::PartnerState>().bindings[kPartnerUser] = kLoginName;
  auto altered = [this](const std::function<void(Json&)>& change) {
    Json m = *platform::json::parse(base64DataFromString(message("3")));
    change(m);
    return base64StringFromData(platform::json::dump(m));
  };
  const std::string replayed = message("3");
  const struct {
    const char* name;
    std::string message;
  } cases[] = {
      {"tampered parameters", altered([](Json& m) { m["params"] = "A" + m["params"].get<std::string>().substr(1); })},
      {"unsigned", altered([](Json& m) { m.erase("sign"); })},
      {"another channel", altered([](Json& m) { m["channelCode"] = "XX0001"; })},
      {"not a message", "%%not-base64"},
      {"replayed", replayed},
  };
  ASSERT_TRUE(LifecycleDriver::openURL(partnerUrl(replayed)));
  ASSERT_TRUE(await([&] { return business.size() == 1; }));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t returns = opened().size();
    ASSERT_TRUE(LifecycleDriver::openURL(partnerUrl(c.message)));
    auto alert = awaitAlert();
    ASSERT_TRUE(alert);
    EXPECT_NE(alert->message().find("！点击确定，返回德阳手机银行"), std::string::npos) << alert->message();
    EXPECT_EQ(business.size(), 1u);
    alert->dismissWithClickedButtonIndex(0, false);
    ASSERT_EQ(opened().size(), returns + 1);
    EXPECT_EQ(opened().back(), "bankdey://");
    EXPECT_FALSE(serving());
  }
}

TEST_F(AppRouterTest, PartnerCallsThatCannotBeServedAreAnsweredOnce) {
  // A function the client has no business for.
  partner<standin::PartnerState>().bindings[kPartnerUser] = kLoginName;
  ASSERT_TRUE(LifecycleDriver::openURL(partnerUrl(message("7"))));
  auto alert = awaitAlert();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->message(), "没有对应的业务！点击确定，返回德阳手机银行");
  alert->dismissWithClickedButtonIndex(0, false);
  EXPECT_EQ(opened(), std::vector<std::string>{"bankdey://back-to-bank"});

  // A user the service does not know: the bank hears of it at once, no alert waits.
  partner<standin::PartnerState>().unknownUsers.insert(kPartnerPhone);
  ASSERT_TRUE(LifecycleDriver::openURL(partnerUrl(message("3"))));
  ASSERT_TRUE(await([] { return opened().size() == 2; }));
  EXPECT_EQ(opened().back(), "bankdey://back-to-bank");
  EXPECT_FALSE(serving());
  EXPECT_FALSE(AlertView::top());
}

TEST_F(AppRouterTest, AReturnSchemeNoAppAnswersOffersOnlyToEndTheClient) {
  platform::UrlOpener::shared().setOpenable("bankdey", false);
  partner<standin::PartnerState>().bindings[kPartnerUser] = kLoginName;
  ASSERT_TRUE(LifecycleDriver::openURL(partnerUrl(message("3"))));
  auto screen = awaitTop<RecordingBusinessScreen>();
  ASSERT_TRUE(screen);
  screen->backButtonPressed();
  auto alert = AlertView::top();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->message(), "返回德阳手机银行异常，确认退出诺维萨客户端。");
  EXPECT_TRUE(exits.empty());
  alert->dismissWithClickedButtonIndex(0, false);
  EXPECT_EQ(exits, std::vector<int>{0});
  EXPECT_TRUE(opened().empty());
}

TEST_F(AppRouterTest, UrlsNoHandlerTakesLeaveNothingServed) {
  EXPECT_FALSE(AppSchedullerManager::schedullerCenterAdpat(std::nullopt));
  // The bank app's XML reply belongs to the transfers, which this build lacks; another partner's
  // identifier is not the regional bank's.
  for (const char* url : {"cmbnuvexa://x&sResponseXml=%3CRoot%2F%3E", "nvx://callIdentifier=com.other.bank&message=e30%3D"}) {
    SCOPED_TRACE(url);
    EXPECT_FALSE(AppSchedullerManager::schedullerCenterAdpat(std::string(url)));
    EXPECT_FALSE(serving());
    EXPECT_TRUE(std::dynamic_pointer_cast<NVXCheckoutAppScheduller>(AppScheduller::sharedAppScheduller()));
  }
}

// --- merchant checkout --------------------------------------------------------------------------

TEST_F(AppRouterTest, ACheckoutTheWalletMayPayOpensMultiPayAndItsResultAnswersCompletion) {
  logIn();
  ASSERT_NO_FATAL_FAILURE(signTerminals());
  ASSERT_TRUE(LifecycleDriver::openURL(kCheckout));
  ASSERT_TRUE(await([&] { return !multPays.empty(); }));
  EXPECT_EQ(multPays[0]->businessType, 35);

  // The pairs are split before they are decoded, and every value is escaped again for the bill.
  auto bills = billRequests();
  ASSERT_EQ(bills.size(), 1u);
  EXPECT_EQ(bills[0]["orderId"], "O&42");
  EXPECT_EQ(bills[0]["productName"], "咖啡=1");
  EXPECT_EQ(bills[0]["amount"], "1234");
  EXPECT_EQ(bills[0]["macType"], "2");
  EXPECT_EQ(bills[0]["lpmercd"], "M001");
  EXPECT_EQ(bills[0]["ver"], "20060301");
  // The merchant code of the accepted-means query, the wallet marker of the inquiry.
  auto payType = api->lastVerdict("queryPayType");
  ASSERT_TRUE(payType);
  // The commit charges the order's yuan amount as given.
  const Tools& tools = Tools::sharedInstance();
  EXPECT_EQ(tools.infoValue("amount"), "12.34");
  EXPECT_EQ(tools.infoValue("lpmercd"), "M001");
  EXPECT_EQ(tools.infoValue("busid"), "M20013");
  EXPECT_EQ(multPays[0]->transactionData["K_TRANSACTION_AMOUNT"], "12.34");

  auto page = std::make_shared<NVXCheckoutResultViewController>();
  page->setTransactionData(multPays[0]->transactionData);
  page->setRetData(Json{{"pan", "6288000000000001"}, {"sytm", "20261211130000"}, {"sysref", "SR1"}});
  delegate->navigationController()->push(page, false);
  page->view();
  EXPECT_EQ(page->prompt(), "支付成功");
  ASSERT_TRUE(page->redirectButton()->tap());
  EXPECT_EQ(opened(), std::vector<std::string>{"shopapp://Completion"});
  EXPECT_FALSE(serving());
  EXPECT_EQ(top(), delegate->home());
}

TEST_F(AppRouterTest, OnTheSwipeRoadTheMerchantIsAnsweredOnceForCancelAndForSuccess) {
  logIn();
  ASSERT_NO_FATAL_FAILURE(signTerminals());
  passReaderGate();
  partner<standin::MultiPayState>().payTypes["M20013"] =
      Json::array({Json{{"busid", "M20013"}, {"cardPay", "1"}, {"balancePay", "0"}, {"giftPay", "0"}}});

  ASSERT_TRUE(LifecycleDriver::openURL(kCheckout));
  auto swipe = awaitTop<SwipeViewController>();
  ASSERT_TRUE(swipe);
  EXPECT_EQ(swipe->businessType(), 14);
  swipe->cancelButtonPressed();
  swipe->cancelButtonPressed();
  EXPECT_EQ(opened(), std::vector<std::string>{"shopapp://Failed"});
  EXPECT_FALSE(serving());

  // The card road's result page answers this checkout too.
  ASSERT_TRUE(LifecycleDriver::openURL(kCheckout));
  ASSERT_TRUE(awaitTop<SwipeViewController>());
  auto page = ScreenRegistry::shared().create(CheckoutResultViewControllerViewController::kClassName);
  auto result = std::dynamic_pointer_cast<CheckoutResultPage>(page);
  ASSERT_TRUE(result);
  delegate->navigationController()->push(page, false);
  page->view();
  ASSERT_TRUE(result->redirectButton()->tap());
  EXPECT_EQ(opened(), (std::vector<std::string>{"shopapp://Failed", "shopapp://Completion"}));
  EXPECT_FALSE(serving());
}

TEST_F(AppRouterTest, ACheckoutThatEndsBeforeItsPayScreenAnswersFailed) {
  logIn();
  ASSERT_NO_FATAL_FAILURE(signTerminals());
  // The bill inquiry is refused.
  api->script("queryTrans", standin::MainApiStandin::Scripted::error("3001", "账单不存在"));
  ASSERT_TRUE(LifecycleDriver::openURL(kCheckout));
  ASSERT_TRUE(await([] { return !opened().empty(); }));
  EXPECT_EQ(opened(), std::vector<std::string>{"shopapp://Failed"});
  EXPECT_TRUE(multPays.empty());
  EXPECT_FALSE(serving());
}

TEST_F(AppRouterTest, AFailedPaymentAnswersFailedEvenAfterLogin) {
  // Not logged in (the terminals keep their keys): the login screen comes first; after it the
  // payment fails.
  logIn();
  ASSERT_NO_FATAL_FAILURE(signTerminals());
  User::currentUser().setUserToken("");
  ASSERT_TRUE(LifecycleDriver::openURL(kCheckout));
  ASSERT_EQ(logins.size(), 1u);
  logins[0]->logIn(kLoginName, kToken);
  ASSERT_TRUE(await([&] { return !multPays.empty(); }));
  delegate->returnToCallingApp(true);
  EXPECT_EQ(opened(), std::vector<std::string>{"shopapp://Failed"});
}

TEST_F(AppRouterTest, AnIncompleteOrderIsRefusedAndAnsweredFailed) {
  const std::string noMac = "nvx://callIdentifier=com.nuvexa.checkout&merId=M001&orderId=O1&amount=1&redirectURL=shopapp";
  const std::string badAmount = noMac + "&mac=AB&amount=12yuan";
  for (const std::string& url : {noMac, badAmount}) {
    SCOPED_TRACE(url);
    const size_t before = opened().size();
    EXPECT_FALSE(LifecycleDriver::openURL(url));
    auto alert = AlertView::top();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), platform::Strings::localized("Error_Data"));
    alert->dismissWithClickedButtonIndex(0, false);
    ASSERT_EQ(opened().size(), before + 1);
    EXPECT_EQ(opened().back(), "shopapp://Failed");
  }
  EXPECT_TRUE(billRequests().empty());
}

// --- the older checkout --------------------------------------------------------------------------

TEST_F(AppRouterTest, AnOlderCheckoutBillsInFenCommitsInYuanAndItsCancelAnswersFailedOnce) {
  logIn();
  ASSERT_NO_FATAL_FAILURE(signTerminals());
  passReaderGate();
  EXPECT_FALSE(LifecycleDriver::openURL("merchant://M001;O42;12.34;ABCDEF;9;shopapp"));
  EXPECT_TRUE(billRequests().empty());

  ASSERT_TRUE(LifecycleDriver::openURL("merchant://M001;O42;12.34;ABCDEF;9;shopapp;1234;extra"));
  auto swipe = awaitTop<SwipeViewController>();
  ASSERT_TRUE(swipe);
  EXPECT_EQ(swipe->businessType(), 14);
  auto bills = billRequests();
  ASSERT_EQ(bills.size(), 1u);
  EXPECT_EQ(bills[0]["amount"], "1234");
  EXPECT_EQ(bills[0]["randnum"], "1234");
  EXPECT_EQ(bills[0]["macType"], "2");
  EXPECT_EQ(bills[0].count("lpmercd"), 0u);
  EXPECT_EQ(Tools::sharedInstance().infoValue("amount"), "12.34");
  EXPECT_FALSE(Tools::sharedInstance().infoValue("lpmercd"));
  // The router's handler is not involved.
  EXPECT_FALSE(serving());

  swipe->cancelButtonPressed();
  swipe->cancelButtonPressed();
  EXPECT_EQ(opened(), std::vector<std::string>{"shopapp://Failed"});
}

TEST_F(AppRouterTest, AReaderPluggedInRerunsTheOlderCheckoutOnlyWhileItWaitsForOne) {
  logIn();
  ASSERT_NO_FATAL_FAILURE(signTerminals());
  NVXViewController::ValidCompletion waiting;
  CheckoutReaderGate::install([&](NVXViewController&, NVXViewController::ValidCompletion done) { waiting = done; });
  ASSERT_TRUE(LifecycleDriver::openURL("merchant://M001;O42;12.34;ABCDEF;9;shopapp;1234"));
  ASSERT_TRUE(await([&] { return static_cast<bool>(waiting); }));
  auto checkout = delegate->swiper()->checkoutDelegate().lock();
  ASSERT_TRUE(checkout);

  waiting = nullptr;
  checkout->onDevicePlugged();
  ASSERT_TRUE(await([&] { return static_cast<bool>(waiting); }));
  EXPECT_EQ(billRequests().size(), 2u);

  // Once the pay screen is up the reader's events leave the checkout alone.
  waiting(true);
  ASSERT_TRUE(awaitTop<SwipeViewController>());
  EXPECT_FALSE(delegate->swiper()->checkoutDelegate().lock());
  checkout->onDevicePlugged();
  settle();
  EXPECT_EQ(billRequests().size(), 2u);
}

}  // namespace
}  // namespace nvx::testing
