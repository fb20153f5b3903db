// What the request layer needs of the login screen, which lives in a higher module: the screen
// is made by class name through ScreenRegistry ("LoginViewController") and, when it implements
// this interface, configured through it. Until a login screen is registered, the paths that want
// one log and do nothing.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/ViewController.h"

namespace nvx {

// The login screen's delegate: told after a successful login started for a box title.
class LoginViewControllerDelegate {
 public:
  virtual ~LoginViewControllerDelegate() = default;
  virtual void gotoViewOfBoxTitle(const std::string& boxTitle) = 0;
};

// The optional part of the login screen's delegate: when the delegate answers it, the user's back
// button on the login screen tells the delegate, which then navigates itself, instead of popping
// the login screen.
class LoginBackDelegate {
 public:
  virtual ~LoginBackDelegate() = default;
  virtual void didBackFromLogin(platform::ui::ViewController& login) = 0;
};

class LoginScreen {
 public:
  static constexpr const char* kClassName = "LoginViewController";

  virtual ~LoginScreen() = default;
  virtual void setBoxTitle(std::string title) = 0;
  // Not owned.
  virtual void setDelegate(std::weak_ptr<LoginViewControllerDelegate> delegate) = 0;
  // Performed after a successful login in place of the screen's own continuation (the screen
  // then stays on the stack).
  virtual void setCustomSuccessExecutor(std::function<void()> action) = 0;

  // A new login screen from the registry, or nothing (logged) when none is registered.
  static std::shared_ptr<platform::ui::ViewController> create();
};

}  // namespace nvx
