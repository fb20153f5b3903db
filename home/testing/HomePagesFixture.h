// Test-only: the home screen (HomeScreenFixture) with the main-API stand-in and the mall
// stand-in on loopback, the client pointed at both, and recording screens for what the message
// centre and the More pages open.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/ui/IdentityInfoScreen.h"
#include "app/ui/MallProductScreen.h"
#include "core/models/ServiceGroupEntity.h"
#include "home/HomeScreens.h"
#include "home/testing/HomeScreenFixture.h"
#include "net/ServerConfig.h"
#include "platform/foundation/RunLoop.h"
#include "standin/MainApiStandin.h"
#include "standin/MallStandin.h"
#include "standin/mainapi/HomeServiceRoutes.h"

namespace nvx::testing {

class ProductScreen : public NamedTestScreen, public MallProductScreen {
 public:
  ProductScreen() : NamedTestScreen(kClassName) {}
  void setDetailDic(platform::Json d) override { detail = std::move(d); }
  void setCartDic(platform::Json c) override { cart = std::move(c); }
  platform::Json detail;
  platform::Json cart;
};

class IdentityScreen : public NamedTestScreen, public IdentityInfoScreen {
 public:
  IdentityScreen() : NamedTestScreen(kClassName) {}
  void setPhoneNum(std::string p) override { phoneNum = std::move(p); }
  void setType(int t) override { type = t; }
  std::string phoneNum;
  int type = 0;
};

class HomePagesFixture : public HomeScreenFixture {
 protected:
  void SetUp() override {
    HomeScreenFixture::SetUp();
    auto settings = standin::MainApiStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    server = std::make_unique<standin::MainApiStandin>(settings.value());
    ASSERT_TRUE(server->start().isOk());
    ServerConfig::current().setMainApiBase(server->apiBaseAddress());
    mall = std::make_unique<standin::MallStandin>();
    ASSERT_TRUE(mall->start().isOk());
    const std::string base = mall->baseUrl();
    ::setenv("NVX_MALL_HOST", base.substr(base.find("://") + 3).c_str(), 1);
    for (const char* name : {"CreditCardRepaymentViewController", "PasswordManageViewController",
                             "UserInfomationViewController", "ModifyPasswordViewController", "FeedBackViewController",
                             "ManageReminderViewController"}) {
      ScreenRegistry::shared().add(name, [name] { return std::make_shared<NamedTestScreen>(name); });
    }
    ScreenRegistry::shared().add(MallProductScreen::kClassName, [this] {
      auto screen = std::make_shared<ProductScreen>();
      lastProduct = screen;
      return screen;
    });
    ScreenRegistry::shared().add(IdentityInfoScreen::kClassName, [this] {
      auto screen = std::make_shared<IdentityScreen>();
      lastIdentity = screen;
      return screen;
    });
    home::registerScreens();
  }
  void TearDown() override {
    ::unsetenv("NVX_MALL_HOST");
    if (mall) mall->stop();
    if (server) server->stop();
  }

  // Lets replies arrive (real time on loopback) and timers run (virtual time) until pred holds.
  bool pump(const std::function<bool()>& pred) {
    auto& loop = platform::RunLoop::main();
    for (int i = 0; i < 200; ++i) {
      if (loop.drainIoUntil(pred, std::chrono::milliseconds(10))) return true;
      loop.advance(0.05);
    }
    return pred();
  }
  size_t callsOf(const std::string& method) const {
    size_t n = 0;
    for (const auto& v : server->verdicts()) n += v.method == method ? 1 : 0;
    return n;
  }
  standin::HomeServiceState& serviceState() { return server->feature<standin::HomeServiceState>(); }

  std::unique_ptr<standin::MainApiStandin> server;
  std::unique_ptr<standin::MallStandin> mall;
  std::weak_ptr<ProductScreen> lastProduct;
  std::weak_ptr<IdentityScreen> lastIdentity;
};

}  // namespace nvx::testing
