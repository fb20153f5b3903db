// Test-only: a client wired to a main-API stand-in on loopback. The stand-in judges the client's
// requests with its own computations (vercode, tokens, MAC); the client knows only the address
// (and, over HTTPS, the CA it trusts). A window with a navigation stack stands for the
// application's, so progress indicators, alerts and pushed screens can be observed.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "core/shell/AppServices.h"
#include "core/session/User.h"
#include "net/ServerConfig.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "standin/MainApiStandin.h"
#include "standin/TestCertificates.h"

namespace nvx::testing {

// A plain screen for the navigation stack.
class PlainScreen : public platform::ui::ViewController {
 public:
  explicit PlainScreen(std::string name = "PlainScreen") : name_(std::move(name)) {}
  std::string className() const override { return name_; }

 private:
  std::string name_;
};

class AppWindowServices : public AppServices {
 public:
  AppWindowServices() {
    screen = std::make_shared<PlainScreen>("BusinessScreen");
    navigation = platform::ui::NavigationController::create(screen);
    mainWindow = platform::ui::Window::create();
    mainWindow->setRootViewController(navigation);
    mainWindow->makeKeyAndVisible();
  }
  std::shared_ptr<platform::ui::NavigationController> navigationController() override { return navigation; }
  std::shared_ptr<platform::ui::Window> window() override { return mainWindow; }

  std::shared_ptr<PlainScreen> screen;
  std::shared_ptr<platform::ui::NavigationController> navigation;
  std::shared_ptr<platform::ui::Window> mainWindow;
};

class MainApiTestFixture : public ::testing::Test {
 protected:
  static constexpr const char* kLoginName = "13800000000";
  static constexpr const char* kUserToken = "token-1";
  static constexpr const char* kReaderTermid = "ABCDEF0123456789";
  static constexpr const char* kVirtualTermid = "V000000000000042";

  // Starts the stand-in (HTTPS with the given certificates), points the client at it and logs a
  // user in on both sides.
  void startServer(std::optional<standin::TestCertificates> tls = std::nullopt) {
    auto settings = standin::MainApiStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    settings->tls = std::move(tls);
    server = std::make_unique<standin::MainApiStandin>(settings.value());
    ASSERT_TRUE(server->start().isOk());
    ServerConfig::current().setMainApiBase(server->apiBaseAddress());
    server->addSession(kLoginName, kUserToken);

    services = std::make_shared<AppWindowServices>();
    AppServices::install(services);

    User& user = User::currentUser();
    user.setLoginName(kLoginName);
    user.setUserToken(kUserToken);
    user.setPsamId(kReaderTermid);
    user.setPsamNo(kVirtualTermid);
  }

  void SetUp() override { startServer(); }

  void TearDown() override {
    if (server) server->stop();
    AppServices::install(nullptr);
  }

  // Pumps the main run loop (and the HTTP thread's completions) until pred holds.
  static bool await(const std::function<bool()>& pred, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return platform::RunLoop::main().drainIoUntil(pred, limit);
  }

  bool indicatorShown() const { return !platform::ui::Hud::on(*services->mainWindow).empty(); }

  std::unique_ptr<standin::MainApiStandin> server;
  std::shared_ptr<AppWindowServices> services;
};

}  // namespace nvx::testing
