// The expired-login handler of the asynchronous road: one re-login alert at a time, then the
// login screen, then back to the screen where the expired reply arrived. The screens involved
// are kept in NVXContext (visibleViewController, reloginToViewController). Main thread only.
#pragma once
#include <memory>

#include "platform/ui/AlertView.h"
#include "platform/ui/ViewController.h"

namespace platform {
class Process;
}

namespace nvx {

class NVXResponseErrorHandler {
 public:
  // The tag of the re-login alert; no other alert of the client uses it.
  static constexpr int kReloginAlertTag = 1111012;

  static NVXResponseErrorHandler& sharedHandler();
  static NVXResponseErrorHandler& sharedNVXResponseErrorHandler() { return sharedHandler(); }

  NVXResponseErrorHandler(const NVXResponseErrorHandler&) = delete;
  NVXResponseErrorHandler& operator=(const NVXResponseErrorHandler&) = delete;

  // handleUserTokenErrorWithReloginViewController with NVXContext's visible screen.
  bool handleUserTokenError();
  // true: the expired login is being handled (the caller must not report the reply); false: no
  // screen with a navigation controller to handle it (the caller reports an error).
  bool handleUserTokenErrorWithReloginViewController(const std::shared_ptr<platform::ui::ViewController>& screen);

  // The re-login alert's button: the login screen, pushed on the visible screen's navigation
  // controller, returning through loginSuccess. Alerts with other tags are ignored.
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alert, int index);
  // Back to the screen to return to (pop, animated).
  void loginSuccess();

  // Whether a re-login alert is shown on any window.
  static bool isReloginAlertShown();
  // A new re-login alert (not shown): title "TokenEffectivenessTip", the message, one button
  // "ReLogin", the re-login tag.
  static std::shared_ptr<platform::ui::AlertView> makeReloginAlert(const std::string& message);

 private:
  friend class platform::Process;
  NVXResponseErrorHandler();
  class AlertDelegate;
  std::shared_ptr<AlertDelegate> alertDelegate_;
};

}  // namespace nvx
