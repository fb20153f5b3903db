// Test-only: the account screens against the main-API stand-in (the account routes, the
// terminal sign-in) and the statistics stand-in, the client pointed at both.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "account/LoginViewController.h"
#include "account/testing/AccountTestSupport.h"
#include "core/session/User.h"
#include "core/shell/PayPwdScreen.h"
#include "core/shell/ScreenRegistry.h"
#include "net/ServerConfig.h"
#include "net/StatisticsServerConfig.h"
#include "platform/foundation/Strings.h"
#include "standin/MainApiStandin.h"
#include "standin/StandinFixture.h"
#include "standin/StatisticsStandin.h"
#include "standin/mainapi/AccountRoutes.h"

namespace nvx::testing {

inline constexpr const char* kNewNumber = "13712345678";
inline const std::string kTestUser(standin::fixture::kLoginName);
inline const std::string kTestPassword(standin::fixture::kPassword);

// The wallet's pay-password screen as registration opens it.
class RecordingPayPwdScreen : public NamedTestScreen, public PayPwdScreen {
 public:
  RecordingPayPwdScreen() : NamedTestScreen(kClassName) {}
  void setResiterEntity(const WalletregisterEntity& e) override { entity = e; }
  std::optional<WalletregisterEntity> entity;
};

class AccountStandinFixture : public AccountScreenFixture {
 protected:
  void SetUp() override {
    // The project's salt and transport key, read before the fixture's bundle takes the place of
    // the project's.
    auto settings = standin::MainApiStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    auto statSettings = standin::StatisticsStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(statSettings.isOk());
    AccountScreenFixture::SetUp();
    settings->passwordKey = passwordKey();
    server = std::make_unique<standin::MainApiStandin>(settings.value());
    ASSERT_TRUE(server->start().isOk());
    ServerConfig::current().setMainApiBase(server->apiBaseAddress());

    statistics = std::make_unique<standin::StatisticsStandin>(statSettings.value());
    ASSERT_TRUE(statistics->start().isOk());
    StatisticsServerConfig::current().setStatisticsBase(statistics->statisticsBaseAddress());

    ScreenRegistry::shared().add(PayPwdScreen::kClassName, [] { return std::make_shared<RecordingPayPwdScreen>(); });
  }
  void TearDown() override {
    if (statistics) statistics->stop();
    if (server) server->stop();
    AccountScreenFixture::TearDown();
  }

  standin::mainapi::AccountState& accounts() { return server->feature<standin::mainapi::AccountState>(); }
  std::optional<std::string> smsCodeFor(const std::string& phone) {
    auto lock = server->lock();
    return accounts().lastSmsCode(phone);
  }
  std::optional<std::string> passwordOf(const std::string& phone) {
    auto lock = server->lock();
    auto it = accounts().users.find(phone);
    return it == accounts().users.end() ? std::nullopt : std::optional(it->second.password);
  }

  // The stand-in's verdicts, one line each, for failure messages.
  std::string callLog() const {
    std::string log = "calls:\n";
    for (const auto& v : server->verdicts()) {
      log += "  " + v.method + " identity=" + (v.identityOk ? "ok" : "refused") + " -> " + v.retCode + "\n";
    }
    return log;
  }

  template <class T>
  std::shared_ptr<T> awaitTop() {
    std::shared_ptr<T> screen;
    EXPECT_TRUE(await([&] {
      settle(0.5);
      screen = std::dynamic_pointer_cast<T>(top());
      return screen != nullptr;
    })) << "waiting for a screen; on top: " << (top() ? top()->className() : "nothing") << "\n"
        << inspector().render() << callLog() << "prompt: " << prompt().value_or("(none)");
    settle(1);
    inspector().render();  // lays the screen out: its table builds its rows
    return screen;
  }

  std::shared_ptr<LoginViewController> openLogin() {
    auto login = ScreenRegistry::shared().create(LoginViewController::kClassName);
    navigation().push(login, true);
    settle(1);
    inspector().render();
    return std::dynamic_pointer_cast<LoginViewController>(login);
  }
  void logIn(LoginViewController& login, const std::string& number, const std::string& password) {
    type(*login.phoneField(), number);
    type(*login.passwordField(), password);
    tap(platform::Strings::localized("Login"));
  }
  bool loggedInAs(const std::string& number) {
    return await([&] {
      const User& user = User::currentUser();
      return user.isLogined() && user.loginName() == number && user.vpsamMAC().has_value();
    });
  }

  std::unique_ptr<standin::MainApiStandin> server;
  std::unique_ptr<standin::StatisticsStandin> statistics;
};

}  // namespace nvx::testing
