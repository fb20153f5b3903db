// Test-only: the bill forms against the main-API stand-in on loopback and the simulated Wi-Fi
// reader box, with the application's window and navigation stack, a recording receipt and a
// recording multi-pay screen.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/session/User.h"
#include "core/shell/ScreenRegistry.h"
#include "net/ServerConfig.h"
#include "net/TerminalManager.h"
#include "pay/PayScreenSetup.h"
#include "pay/SwipeViewController.h"
#include "pay/Tools.h"
#include "pay/testing/PayTestSupport.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/NetConfig.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Hud.h"
#include "platform/ui/Inspector.h"
#include "standin/MainApiStandin.h"
#include "standin/SimulatedWifiBox.h"
#include "standin/mainapi/BillsRoutes.h"
#include "standin/mainapi/PayRoutes.h"

namespace nvx::testing {

// The multi-pay screen as the forms configure it.
class RecordingMultPayScreen : public NamedTestScreen, public PayScreenSetup {
 public:
  RecordingMultPayScreen() : NamedTestScreen(kMultPayClassName) {}
  void setInfo(std::shared_ptr<TransactionInfoSource> i) override { info = std::move(i); }
  void customizeSwipeViewWithNavTitle(std::optional<std::string> navTitle, std::optional<std::string> header,
                                      std::optional<std::string> card, std::optional<std::string> pin,
                                      std::optional<std::string> tips, std::optional<std::string> done,
                                      int type) override {
    texts = {navTitle, header, card, pin, tips, done};
    businessType = type;
  }
  void setTransactionData(platform::Json data) override { transactionData = std::move(data); }

  std::shared_ptr<TransactionInfoSource> info;
  std::vector<std::optional<std::string>> texts;
  int businessType = -1;
  platform::Json transactionData;
};

class BillsTestFixture : public ::testing::Test {
 protected:
  static constexpr const char* kLoginName = "13800000000";
  static constexpr const char* kUserToken = "token-1";
  static constexpr const char* kBoxKsn = "123456789ABCDEF0";
  static constexpr const char* kVirtualTermid = "V000000000000042";

  void SetUp() override {
    // The box takes its ports and holds them for the test; the phone's sockets, made after, use them.
    platform::net::NetConfig::current().useLoopbackNetwork();
    box = std::make_unique<standin::SimulatedWifiBox>(standin::SimulatedWifiBox::onFreePorts());
    ASSERT_TRUE(box->bindPorts().isOk());

    auto settings = standin::MainApiStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    server = std::make_unique<standin::MainApiStandin>(settings.value());
    ASSERT_TRUE(server->start().isOk());
    ServerConfig::current().setMainApiBase(server->apiBaseAddress());
    server->addSession(kLoginName, kUserToken);
    {
      auto lock = server->lock();
      server->feature<standin::BillsState>().requireInquiry = true;
    }

    services = std::make_shared<PayTestServices>();
    AppServices::install(services);
    auto& registry = ScreenRegistry::shared();
    registry.add(LoginScreen::kClassName, [] { return std::make_shared<TestLoginScreen>(); });
    // The factories outlive the test in the registry: they hold what they record, not the test.
    registry.add(PayResultScreen::kReceiptClassName, [opened = opened_] {
      auto screen = std::make_shared<RecordingResultScreen>(PayResultScreen::kReceiptClassName);
      opened->receipts.push_back(screen);
      return screen;
    });
    registry.add(PayScreenSetup::kMultPayClassName, [opened = opened_] {
      auto screen = std::make_shared<RecordingMultPayScreen>();
      opened->multPays.push_back(screen);
      return screen;
    });

    User& user = User::currentUser();
    user.setLoginName(kLoginName);
    user.setUserToken(kUserToken);
  }

  void TearDown() override {
    platform::ui::AlertView::dismissAll();
    if (box) box->stop();
    if (server) server->stop();
    if (services) services->hub.reset();
    AppServices::install(nullptr);
  }

  // Socket traffic and replies in real time between steps of virtual time, until pred holds or
  // virtualSeconds have passed; then up to 5 s more of real time for replies still on their way
  // (a loaded machine). A reply that lands in that last wait gets no more virtual time: what it
  // sets off after a delay (a screen that closes once its prompt is gone) never comes. Wait for
  // such a reply with awaitReply, then move the clock.
  static bool pump(const std::function<bool()>& pred, double virtualSeconds = 30.0) {
    auto& loop = platform::RunLoop::main();
    auto end = platform::clock().now() + platform::secs(virtualSeconds);
    for (;;) {
      if (loop.drainIoUntil(pred, std::chrono::milliseconds(5))) return true;
      auto next = loop.nextDeadline();
      auto now = platform::clock().now();
      if (!next || *next > end) {
        if (end > now) loop.advance(end - now);
        return loop.drainIoUntil(pred, std::chrono::seconds(5));
      }
      loop.advance(std::max(*next - now, platform::Duration::zero()));
    }
  }

  // The user's reader box on the network, bound to the user, seen by the hub.
  void startBox() {
    server->bindReader(kBoxKsn, kLoginName);
    ASSERT_TRUE(box->start().isOk());
    if (!services->hub) services->makeHub();
    ASSERT_TRUE(pump([&] { return services->hub->isTaviPresent(); }, 10.0));
  }


 public:
  // The user's virtual terminal (wallet payments, requests marked for the wallet) signed in.
  void signInVirtualTerminal() {
    User::currentUser().setPsamNo(kVirtualTermid);
    TerminalManager manager;
    ASSERT_TRUE(manager.virtualTermSignWithViewController(services->root, {})) << manager.error();
  }

  template <class Screen>
  std::shared_ptr<Screen> open() {
    auto screen = std::make_shared<Screen>();
    services->navigation->push(screen, false);
    platform::RunLoop::main().advance(1);
    return screen;
  }


 protected:
  // The card on the swipe screen on top: the box's swipe, the test card's PIN, Done; true once a
  // receipt has opened.
  bool payByCard(SwipeViewController& swipe) {
    if (!pump([&] { return box->isArmed(); }, 10) || !box->swipe()) return false;
    if (!pump([&] { return !swipe.track().empty(); }, 10)) return false;
    auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(swipe.passwordTextField()->inputView());
    if (!keypad) return false;
    for (char c : std::string("123456")) swipe.keyboadView(*keypad, c - '0');
    const size_t before = receipts.size();
    if (!swipe.doneButton()->tap()) return false;
    return pump([&] { return receipts.size() > before; }, 20);
  }

  platform::ui::Inspector inspector() const { return platform::ui::Inspector(services->mainWindow); }
  std::shared_ptr<platform::ui::ViewController> top() const { return services->navigation->topViewController(); }

  std::optional<std::string> prompt() const {
    for (const auto& hud : platform::ui::Hud::on(*services->mainWindow)) {
      if (hud->mode() == platform::ui::Hud::Mode::Text) return hud->label();
    }
    return std::nullopt;
  }
  bool spinnerShown() const {
    for (const auto& hud : platform::ui::Hud::on(*services->mainWindow)) {
      if (hud->mode() == platform::ui::Hud::Mode::Spinner) return true;
    }
    return false;
  }
  // Lets prompts and animations end.
  static void settle() { platform::RunLoop::main().advance(3); }

  // A server's reply, in real time with the virtual clock held (up to 10 s: a loaded machine).
  // What the reply shows is still there when pred looks (a prompt lasts 1.4 s of virtual time,
  // which a step of pump can pass over whole), and what it sets off later waits for the test.
  static bool awaitReply(const std::function<bool()>& pred) {
    return platform::RunLoop::main().drainIoUntil(pred, std::chrono::seconds(10));
  }

  size_t calls(std::string_view method) const {
    size_t n = 0;
    for (const auto& v : server->verdicts()) n += v.method == method;
    return n;
  }
  // The form fields of the last request to the method, without those the request hook adds, and
  // without "amount", which the hook rewrites into its signed form (and so to the end).
  std::vector<std::string> lastFieldNames(std::string_view method) const {
    std::vector<std::string> names;
    for (const auto& r : server->http().requests()) {
      if (!r.path.ends_with(std::string(method) + ".json")) continue;
      names.clear();
      for (const auto& f : r.formFields) {
        if (f.first != "ver" && f.first != "custlev" && f.first != "mac" && f.first != "amount") {
          names.push_back(f.first);
        }
      }
    }
    return names;
  }
  std::optional<standin::HttpStandin::Request> lastRequestTo(std::string_view method) const {
    std::optional<standin::HttpStandin::Request> last;
    for (const auto& r : server->http().requests()) {
      if (r.path.find(std::string(method)) != std::string::npos) last = r;
    }
    return last;
  }
  // The names of the stored commit's fields, in order.
  static std::vector<std::string> storedNames() {
    std::vector<std::string> names;
    for (const auto& f : Tools::sharedInstance().infoDic()) names.push_back(f.key);
    return names;
  }
  static std::string stored(std::string_view key) { return Tools::sharedInstance().infoValue(key).value_or("<none>"); }
  std::vector<standin::PayState::Commit> commits() {
    auto lock = server->lock();
    return server->feature<standin::PayState>().commits;
  }

  std::unique_ptr<standin::MainApiStandin> server;
  std::unique_ptr<standin::SimulatedWifiBox> box;
  std::shared_ptr<PayTestServices> services;
  struct Opened {
    std::vector<std::shared_ptr<RecordingResultScreen>> receipts;
    std::vector<std::shared_ptr<RecordingMultPayScreen>> multPays;
  };
  std::shared_ptr<Opened> opened_ = std::make_shared<Opened>();
  // The receipts and multi-pay screens opened, in order.
  std::vector<std::shared_ptr<RecordingResultScreen>>& receipts = opened_->receipts;
  std::vector<std::shared_ptr<RecordingMultPayScreen>>& multPays = opened_->multPays;
};

}  // namespace nvx::testing
