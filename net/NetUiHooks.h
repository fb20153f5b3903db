// What the request layer shows goes through these hooks, which the screens' module installs:
// the window's spinner and the expired-login handling (the re-login alert). Without an
// installed hook the spinner is a no-op and an expired login is not taken over (the caller
// gets the error). Main thread.
#pragma once
#include <functional>

namespace nvx {

struct NetUiHooks {
  std::function<void()> showWindowSpinner;
  std::function<void()> hideWindowSpinner;
  // true: the expired login is being handled (alert or login screen); the reply is taken over.
  std::function<bool()> handleExpiredLogin;

  static const NetUiHooks& current();
  static void install(NetUiHooks hooks);

  // Calls of the installed hooks (no-ops / false without them). Any thread: the spinner calls
  // are sent to the main loop when made elsewhere.
  static void showSpinner();
  static void hideSpinner();
  static bool expiredLoginTakenOver();
};

}  // namespace nvx
