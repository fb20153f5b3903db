// The start of a pay screen's end-to-end test: the main-API stand-in on loopback with a PIN key
// pair made for this run (and, when asked, a password key pair), the client's bundle holding the
// public halves, the stand-in's session and reader binding for the test user, the request hook,
// recording screen services and a receipt page that records what it was given.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/NVXKeyboardView.h"
#include "app/ui/testing/TestPictureBundle.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "net/RequestHook.h"
#include "net/ServerConfig.h"
#include "pay/PayResultScreen.h"
#include "pay/testing/PayTestSupport.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Sandbox.h"
#include "platform/net/NetConfig.h"
#include "platform/ui/AlertView.h"
#include "reader/wifi/WexTestHarness.h"
#include "standin/MainApiStandin.h"
#include "standin/SimulatedWifiBox.h"
#include "standin/StandinFixture.h"

namespace nvx::testing {

class PayStandinTest : public ::testing::Test {
 protected:
  static constexpr const char* kBoxKsn = "123456789ABCDEF0";

  // Callers wrap it in ASSERT_NO_FATAL_FAILURE.
  void startStandin(bool withPasswordKey) {
    using platform::Json;
    auto settings = standin::MainApiStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    if (withPasswordKey) passwordKey = standin::RsaKeyPair::generate().value();
    bundle = std::make_unique<TestPictureBundle>(std::vector<std::string>{});
    auto text = platform::fs::read(platform::Sandbox::bundle() / "client-settings.json");
    ASSERT_TRUE(text);
    Json clientSettings = Json::parse(*text);
    clientSettings["pinPublicKey"] = pinKey.publicPem();
    if (passwordKey) clientSettings["passwordPublicKey"] = passwordKey->publicPem();
    ASSERT_TRUE(platform::fs::writeAtomic(platform::Sandbox::bundle() / "client-settings.json",
                                          platform::json::dump(clientSettings)));

    // The box takes its ports and holds them for the test; the phone's sockets, made after, use them.
    platform::net::NetConfig::current().useLoopbackNetwork();
    box = std::make_unique<standin::SimulatedWifiBox>(standin::SimulatedWifiBox::onFreePorts());
    ASSERT_TRUE(box->bindPorts().isOk());

    settings->pinKey = pinKey;
    if (passwordKey) settings->passwordKey = *passwordKey;
    server = std::make_unique<standin::MainApiStandin>(settings.value());
    ASSERT_TRUE(server->start().isOk());
    ServerConfig::current().setMainApiBase(server->apiBaseAddress());
    server->addSession(std::string(standin::fixture::kLoginName), std::string(standin::fixture::kUserToken));
    server->bindReader(kBoxKsn, std::string(standin::fixture::kLoginName));
    RequestHook::install();

    services = std::make_shared<PayTestServices>();
    AppServices::install(services);
    ScreenRegistry::shared().add(PayResultScreen::kReceiptClassName, [this] {
      auto screen = std::make_shared<RecordingResultScreen>(PayResultScreen::kReceiptClassName);
      receipts.push_back(screen);
      return screen;
    });
    User& user = User::currentUser();
    user.setLoginName(standin::fixture::kLoginName);
    user.setUserToken(standin::fixture::kUserToken);
  }

  void TearDown() override {
    platform::ui::AlertView::dismissAll();
    if (box) box->stop();
    if (server) server->stop();
    if (services) services->hub.reset();
    AppServices::install(nullptr);
    bundle.reset();
  }

  static bool pump(const std::function<bool()>& pred, double virtualSeconds = 30.0) {
    return reader::testing::pumpUntil(pred, virtualSeconds);
  }

  // The test card through the box's real signal, until the screen holds its tracks.
  template <class Screen>
  void swipeCard(Screen& screen) {
    ASSERT_TRUE(pump([&] { return box->swipe(); }, 10.0));
    ASSERT_TRUE(pump([&] { return !screen.track().empty(); }, 10.0));
  }
  // The PIN typed on the screen's own keypad.
  template <class Screen>
  static void typePin(Screen& screen, std::string_view pin) {
    auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(screen.passwordTextField()->inputView());
    ASSERT_TRUE(keypad);
    for (char c : pin) screen.keyboadView(*keypad, c - '0');
  }

  std::unique_ptr<TestPictureBundle> bundle;
  standin::RsaKeyPair pinKey = standin::RsaKeyPair::generate().value();
  std::optional<standin::RsaKeyPair> passwordKey;
  std::unique_ptr<standin::MainApiStandin> server;
  std::unique_ptr<standin::SimulatedWifiBox> box;
  std::shared_ptr<PayTestServices> services;
  std::vector<std::shared_ptr<RecordingResultScreen>> receipts;
};

}  // namespace nvx::testing
