// Test-only: the home screen as the root of the test window's navigation stack, with recording
// business screens, a recording login screen, application services that record what the home
// screen hands to screens of other modules, and server operations answered by the test.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/testing/TestScreenServices.h"
#include "core/session/User.h"
#include "core/shell/ScreenRegistry.h"
#include "home/HomeBoxData.h"
#include "home/HomeOperations.h"
#include "home/HomeViewController.h"
#include "pay/SwipeViewController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Inspector.h"
#include "standin/MainApiStandin.h"
#include "standin/SimulatedWifiBox.h"

namespace nvx::testing {

class BalanceSwiper : public SwipeViewController {
 public:
  std::string className() const override { return "BalanceSwiperViewController"; }
};

class HomeTestServices : public TestScreenServices {
 public:
  bool initPublicService(platform::ui::ViewController&, int type) override {
    serviceTypes.push_back(type);
    return true;
  }
  bool setReceivableItem(platform::ui::ViewController&, const std::string& name, const std::string& iid, int64_t amount,
                         int count) override {
    receivables.push_back(name + "|" + iid + "|" + std::to_string(amount) + "|" + std::to_string(count));
    return true;
  }
  void setLotterySession(const LotterySessionValues& values) override { lotterySessions.push_back(values); }
  bool selectLotteryTab(platform::ui::ViewController&, int tab) override {
    lotteryTabs.push_back(tab);
    return true;
  }

  std::vector<int> serviceTypes;
  std::vector<std::string> receivables;
  std::vector<LotterySessionValues> lotterySessions;
  std::vector<int> lotteryTabs;
};

// Operations whose replies the test gives.
class ScriptedHomeOperations : public HomeOperations {
 public:
  void getPromotion(std::shared_ptr<platform::ui::ViewController>, PromotionCompletion completion) override {
    promotion = std::move(completion);
  }
  void getTotalMsg(const std::string& messageNum, TotalCompletion completion) override {
    messageNums.push_back(messageNum);
    total = std::move(completion);
  }
  PromotionCompletion promotion;
  TotalCompletion total;
  std::vector<std::string> messageNums;
};

// The business screens the home screen opens, by class name.
inline const std::vector<std::string>& businessScreenNames() {
  static const std::vector<std::string> kNames{
      "CCRepayInputViewController", "TransferRemittanceViewController", "TraficViolationChooseViewController",
      "BillNumberRemittanceVeiwController", "MobileRechargeViewController", "WeekCouponViewController",
      "CinemaViewController", "LoanLoadingViewController", "TaobaoPaymentViewController",
      "InsuranceChooseViewController", "InstalmentViewController", "PublicServiceViewController",
      "CaiFutongRechargeViewController", "ZhiFubaoRechargeViewController", "GameCardRechargeViewController",
      "AccountDirectChargeViewController", "MemberCardInputViewController", "TradingQueryViewController",
      "NVXMapViewController", "ReminderViewController", "SZRentCarViewContrllerViewController",
      "Scan2DCodeViewController", "ReceiptBankViewController", "VornAreaViewController",
      "NCCRepayManageViewController", "PayBusinessViewController", "RechargeBusinessViewController",
      "CCRepayRemindViewController", "PhoneNumberRemittanceViewController", "MallIndexViewController",
      "MoreViewController", "BuyNuvexaViewController", "ReceivableInfoViewController",
      "ChooseBankAccountViewController", "TabBarController", "AllControllerTable"};
  return kNames;
}

class HomeScreenFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    services = std::make_shared<HomeTestServices>();
    AppServices::install(services);
    HomeBoxData::registerArchiveClass();
    for (const auto& name : businessScreenNames()) {
      ScreenRegistry::shared().add(name, [name] { return std::make_shared<NamedTestScreen>(name); });
    }
    // The balance inquiry's variant of the swipe screen.
    ScreenRegistry::shared().add("BalanceSwiperViewController", [] { return std::make_shared<BalanceSwiper>(); });
    ScreenRegistry::shared().add(LoginScreen::kClassName, [this] {
      auto login = std::make_shared<TestLoginScreen>();
      lastLogin = login;
      return login;
    });
  }

  // The home screen becomes the root and is shown.
  void showHome() {
    home = HomeViewController::create();
    home->setOperations(operations);
    services->navigation = platform::ui::NavigationController::create(home);
    services->mainWindow->setRootViewController(services->navigation);
    platform::RunLoop::main().advance(1);
  }

  // Socket traffic in real time between short steps of virtual time (a reader box on the
  // loopback network and the main API both answer in real time).
  static bool pumpSockets(const std::function<bool()>& pred) {
    auto& loop = platform::RunLoop::main();
    for (int i = 0; i < 400; ++i) {
      if (loop.drainIoUntil(pred, std::chrono::milliseconds(5))) return true;
      loop.advance(0.05);
    }
    return pred();
  }

  // The logged-in user's Wi-Fi reader box, made with its ports on the loopback network: bound to
  // the user on the server, started, and seen by a new hub.
  void startBoundWifiBox(standin::SimulatedWifiBox& box, standin::MainApiStandin& server, const std::string& ksn) {
    ASSERT_TRUE(box.bindPorts().isOk());
    server.addSession(User::currentUser().loginName(), User::currentUser().userToken());
    server.bindReader(ksn, User::currentUser().loginName());
    ASSERT_TRUE(box.start().isOk());
    services->makeHub();
    ASSERT_TRUE(pumpSockets([&] { return services->hub->isTaviPresent(); }));
  }

  void logIn() {
    User::currentUser().setLoginName("13800000000");
    User::currentUser().setUserToken("token-1");
    User::currentUser().setUserId("U42");
  }

  std::string topName() const {
    auto top = services->navigation->topViewController();
    return top ? top->className() : std::string();
  }
  // Taps the box of that title on the page in front, as a user.
  void tapBox(const std::string& title) {
    ASSERT_TRUE(inspector.tap(title).isOk()) << title << "\n" << inspector.render();
    platform::RunLoop::main().advance(1);
  }
  void settle() { platform::RunLoop::main().advance(1); }

  std::shared_ptr<HomeTestServices> services;
  std::shared_ptr<ScriptedHomeOperations> operations = std::make_shared<ScriptedHomeOperations>();
  std::shared_ptr<HomeViewController> home;
  std::weak_ptr<TestLoginScreen> lastLogin;
  platform::ui::Inspector inspector;
};

}  // namespace nvx::testing
