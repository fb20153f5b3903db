// What the request layer shows goes through these hooks, which the screens' module installs:
// the window's spinner and the expired-login handling (the re-login alert). Without an
// installed hook the spinner is a no-op and an expired login is not taken over (the caller
// gets the error). Main thread.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform::ui {
class ViewController;
}

namespace nvx {

class LoginViewControllerDelegate;

struct NetUiHooks {
  std::function<void()> showWindowSpinner;
  std::function<void()> hideWindowSpinner;
  // true: the expired login is being handled (alert or login screen); the reply is taken over.
  std::function<bool()> handleExpiredLogin;
  // The synchronous road's expired login, on the screen that read the reply: code "1012" pushes
  // the login screen at once (with the delegate), "1023" shows the re-login alert with the
  // message. false: nothing was done because a re-login alert is already up.
  std::function<bool(std::string_view code, const std::string& message,
                     const std::shared_ptr<platform::ui::ViewController>& screen,
                     std::weak_ptr<LoginViewControllerDelegate> delegate)>
      expiredLoginOnScreen;

  static const NetUiHooks& current();
  static void install(NetUiHooks hooks);

  // Calls of the installed hooks (no-ops / false without them). Any thread: the spinner calls
  // are sent to the main loop when made elsewhere.
  static void showSpinner();
  static void hideSpinner();
  static bool expiredLoginTakenOver();
  // true without an installed hook (nothing to show, the caller stops all the same).
  static bool expiredLoginShownOn(std::string_view code, const std::string& message,
                                  const std::shared_ptr<platform::ui::ViewController>& screen,
                                  std::weak_ptr<LoginViewControllerDelegate> delegate);
};

}  // namespace nvx
