// Test-only: the whole client started as on a phone (startClient), against a main-API stand-in
// and a statistics server on loopback, with a test home screen registered in place of the home
// module's and the Wi-Fi box listener on free loopback ports.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/shell/ScreenRegistry.h"
#include "app/ui/HomeScreen.h"
#include "client/ClientMain.h"
#include "client/NVXAppDelegate.h"
#include "net/ServerConfig.h"
#include "net/StatisticsServerConfig.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/net/NetConfig.h"
#include "platform/testing/Settle.h"
#include "platform/net/testing/HeldPorts.h"
#include "platform/testing/Testing.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "standin/HttpStandin.h"
#include "standin/MainApiStandin.h"

namespace nvx::testing {

class TestHomeBox : public HomeBox {
 public:
  explicit TestHomeBox(std::string code) : code_(std::move(code)) {}
  std::string pushIdentifier() const override { return code_; }

 private:
  std::string code_;
};

// The home screen as the shell relies on it: it removes the splash 0.5 s after it is first shown
// and records what the shell asks of it.
class TestHomeScreen : public platform::ui::ViewController, public HomeScreen {
 public:
  std::string className() const override { return kClassName; }

  void viewWillAppear(bool animated) override {
    ViewController::viewWillAppear(animated);
    if (shown_) return;
    shown_ = true;
    removeSplashLater(weak_from_this());
  }

  std::vector<std::shared_ptr<HomeBox>> getAllBusiness() override {
    std::vector<std::shared_ptr<HomeBox>> boxes;
    for (const auto& code : codes) boxes.push_back(std::make_shared<TestHomeBox>(code));
    return boxes;
  }
  void gotoFunctionView(const std::string& businessCode) override { opened.push_back(businessCode); }
  void pushToAdvertiseMent(std::shared_ptr<platform::ui::ViewController> screen) override {
    advertised.push_back(screen);
    if (auto nav = navigationController()) nav->push(screen, true);
  }
  void handleUrlForTicket(const std::string& url) override { ticketLinks.push_back(url); }

  std::vector<std::string> codes{"B00013", "M20020", "B00002"};
  std::vector<std::string> opened;
  std::vector<std::shared_ptr<platform::ui::ViewController>> advertised;
  std::vector<std::string> ticketLinks;

 private:
  bool shown_ = false;
};

// A plain screen pushed over the home screen.
class OtherScreen : public platform::ui::ViewController {
 public:
  std::string className() const override { return "OtherScreen"; }
};

class StartupTest : public ::testing::Test {
 protected:
  static constexpr const char* kStatisticsPath = "/mobilestatics/iphone/";

  void SetUp() override {
    auto settings = standin::MainApiStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    api = std::make_unique<standin::MainApiStandin>(settings.value());
    ASSERT_TRUE(api->start().isOk());
    statistics.route("*", std::string(kStatisticsPath) + "*", [this](const standin::HttpStandin::Request& r) {
      return statisticsReply(r);
    });
    ASSERT_TRUE(statistics.start().isOk());
    configureClient();
  }

  // What a run of the client is told: the servers, the loopback network and the home screen.
  void configureClient() {
    readerPorts.publish();
    ServerConfig::current().setMainApiBase(api->apiBaseAddress());
    StatisticsServerConfig::current().setStatisticsBase(statistics.baseUrl() + kStatisticsPath);
    ScreenRegistry::shared().add(HomeScreen::kClassName, [this] {
      auto home = std::make_shared<TestHomeScreen>();
      homeScreen = home;
      return home;
    });
  }

  // A new run of the client in the same sandbox (files and user defaults stay).
  void restartClient() {
    delegate.reset();
    platform::testing::restart();
    configureClient();
  }

  void TearDown() override {
    statistics.stop();
    if (api) api->stop();
  }

  // Launches the client (first stage, first activation).
  void launch(const platform::ui::LaunchOptions& options = {}) { delegate = startClient(platform::Sandbox::root(), options); }
  // Launches and runs the second stage.
  void launchAndStart(const platform::ui::LaunchOptions& options = {}) {
    launch(options);
    platform::RunLoop::main().advance(NVXAppDelegate::kSecondStageDelay);
  }

  std::shared_ptr<TestHomeScreen> home() const { return homeScreen.lock(); }

  // Pumps the main run loop (real time, bounded) until pred holds: replies arrive in real time.
  static bool await(const std::function<bool()>& pred, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return platform::RunLoop::main().drainIoUntil(pred, limit);
  }
  // Lets replies that are on their way arrive, and the workers started finish (for checks that
  // nothing happened).
  static void settle() { EXPECT_TRUE(platform::testing::settleIo()) << "still busy after 10 s"; }

  // The number of client-version requests the main API answered.
  size_t versionRequests() const {
    size_t n = 0;
    for (const auto& v : api->verdicts()) n += v.method == "getShuakaqiList";
    return n;
  }
  // Becomes active again and waits for the client-version reply to be handled.
  void reactivate() {
    const size_t before = versionRequests();
    platform::ui::LifecycleDriver::resignActive();
    platform::ui::LifecycleDriver::becomeActive();
    ASSERT_TRUE(await([&] { return versionRequests() > before; }));
    settle();
  }

  // The alerts shown now with this tag.
  static std::vector<std::shared_ptr<platform::ui::AlertView>> alertsTagged(int tag) {
    std::vector<std::shared_ptr<platform::ui::AlertView>> out;
    for (auto& a : platform::ui::AlertView::visible()) {
      if (a->tag() == tag) out.push_back(a);
    }
    return out;
  }

  // --- the statistics server ---
  // The content the server answers for a push message id.
  void setPushMessage(const std::string& msgId, platform::Json content) {
    std::lock_guard<std::mutex> lock(mutex_);
    pushMessages_[msgId] = std::move(content);
  }
  // The statistics requests of one method ("addIphoneToken", ...).
  std::vector<standin::HttpStandin::Request> statisticsRequests(const std::string& method) const {
    std::vector<standin::HttpStandin::Request> out;
    for (auto& r : statistics.requests()) {
      if (r.path == std::string(kStatisticsPath) + method + ".json") out.push_back(r);
    }
    return out;
  }

  std::unique_ptr<standin::MainApiStandin> api;
  standin::HttpStandin statistics;
  // The reader box's ports, held for the test (no box here: a connection to it is refused).
  platform::net::testing::HeldReaderPorts readerPorts;
  std::shared_ptr<NVXAppDelegate> delegate;
  std::weak_ptr<TestHomeScreen> homeScreen;
  platform::ui::Inspector inspector;

 private:
  standin::HttpStandin::Reply statisticsReply(const standin::HttpStandin::Request& r) {
    const std::string method = r.path.substr(std::string(kStatisticsPath).size());
    platform::Json reply = {{"retStatus", {{"retCode", "0000"}, {"errMsg", "成功"}}}};
    if (method == "getIosPushMsg.json") {
      std::string msgId;
      for (auto& [k, v] : r.queryFields) {
        if (k == "msgId") msgId = v;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = pushMessages_.find(msgId);
      if (it == pushMessages_.end()) {
        reply["retStatus"] = {{"retCode", "2005"}, {"errMsg", "消息不存在"}};
      } else {
        reply["retData"] = platform::Json::array({it->second});
      }
    }
    return standin::HttpStandin::Reply::json(reply.dump());
  }

  std::mutex mutex_;
  std::map<std::string, platform::Json> pushMessages_;
};

}  // namespace nvx::testing
