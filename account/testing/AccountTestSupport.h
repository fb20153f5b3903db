// Test-only: the account screens in a window of their own, with the application's bundle (its
// string table, pictures and settings) except for the password key, which is the public half of a
// key pair made at test time, so that a test or a stand-in can decipher what the client sends.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "account/AccountScreens.h"
#include "app/ui/testing/TestScreenServices.h"
#include "standin/mainapi/RsaKeyPair.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Hud.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/NavigationController.h"

namespace nvx::testing {

// A copy of the bundle (entries linked) whose settings carry the given password key.
class PasswordKeyBundle {
 public:
  explicit PasswordKeyBundle(const std::string& passwordPem)
      : previous_(platform::Sandbox::bundle()), folder_(platform::Sandbox::makeTempRoot("nvx-account-bundle")) {
    for (const auto& entry : std::filesystem::directory_iterator(previous_)) {
      if (entry.path().filename() == "client-settings.json") continue;
      std::filesystem::create_symlink(entry.path(), folder_ / entry.path().filename());
    }
    auto text = platform::fs::read(previous_ / "client-settings.json");
    auto settings = text ? platform::json::parse(*text) : std::nullopt;
    EXPECT_TRUE(settings) << "the bundle's settings";
    platform::Json json = settings.value_or(platform::Json::object());
    json["passwordPublicKey"] = passwordPem;
    platform::fs::writeAtomic(folder_ / "client-settings.json", platform::json::dump(json));
    platform::Sandbox::setBundle(folder_);
  }
  ~PasswordKeyBundle() {
    platform::Sandbox::setBundle(previous_);
    platform::fs::removeTree(folder_);
  }
  PasswordKeyBundle(const PasswordKeyBundle&) = delete;
  PasswordKeyBundle& operator=(const PasswordKeyBundle&) = delete;

 private:
  platform::Path previous_;
  platform::Path folder_;
};

class AccountScreenFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    bundle = std::make_unique<PasswordKeyBundle>(passwordKey().publicPem());
    services = std::make_shared<TestScreenServices>();
    AppServices::install(services);
    account::registerScreens();
  }
  void TearDown() override {
    AppServices::install(nullptr);
    bundle.reset();
  }

  platform::ui::Inspector inspector() const { return platform::ui::Inspector(services->mainWindow); }
  platform::ui::NavigationController& navigation() const { return *services->navigation; }
  std::shared_ptr<platform::ui::ViewController> top() const { return services->navigation->topViewController(); }

  // Pushes the screen (not animated) and lays it out.
  template <class T>
  std::shared_ptr<T> show(std::shared_ptr<T> screen) {
    services->navigation->push(screen, false);
    settle(0);
    inspector().render();
    return screen;
  }
  // Lets transitions and delayed work of the main loop run (virtual time).
  static void settle(double seconds = 1.0) {
    platform::RunLoop::main().runUntilIdle();
    if (seconds > 0) platform::RunLoop::main().advance(seconds);
  }
  // Pumps the main loop (real time, bounded) until pred holds: replies from a server.
  static bool await(const std::function<bool()>& pred, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return platform::RunLoop::main().drainIoUntil(pred, limit);
  }

  // The text of the prompt on the window now, if any.
  std::optional<std::string> prompt() const {
    for (const auto& hud : platform::ui::Hud::on(*services->mainWindow)) {
      if (hud->mode() == platform::ui::Hud::Mode::Text) return hud->label();
    }
    return std::nullopt;
  }
  bool spinnerShown() const {
    for (const auto& hud : platform::ui::Hud::on(*services->mainWindow)) {
      if (hud->mode() != platform::ui::Hud::Mode::Text) return true;
    }
    return false;
  }
  std::shared_ptr<platform::ui::AlertView> alert() const { return platform::ui::AlertView::top(); }

  // Types into the field (tapping it first) and checks that typing could start.
  void type(platform::ui::TextField& field, std::string_view text) {
    auto status = inspector().type(field, text);
    ASSERT_TRUE(status.isOk()) << status.message();
  }
  void tap(std::string_view title) {
    auto status = inspector().tap(title);
    ASSERT_TRUE(status.isOk()) << status.message() << "\n" << inspector().render();
  }

  // The password key pair made for the tests of this run; the client holds its public half.
  static const standin::RsaKeyPair& passwordKey() { return standin::RsaKeyPair::testPasswordKey(); }

  std::unique_ptr<PasswordKeyBundle> bundle;
  std::shared_ptr<TestScreenServices> services;
};

}  // namespace nvx::testing
