// What the application shell needs of the home screen, a screen of a higher module: the shell
// makes it by class name through ScreenRegistry ("HomeViewController") as the root of the one
// navigation stack, and hands it push messages, marketing entries and lottery links through this
// interface. Until a home screen is registered, the start-up logs that there is none and the
// splash stays.
//
// The home screen removes the window's splash view (tag 50785) 0.5 s after it is first shown.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/ViewController.h"

namespace nvx {

// One business box of the home screen, as the shell sees it.
class HomeBox {
 public:
  virtual ~HomeBox() = default;
  // The business code by which push messages and marketing entries name the box.
  virtual std::string pushIdentifier() const = 0;
};

class HomeScreen {
 public:
  static constexpr const char* kClassName = "HomeViewController";
  // The splash view that the first start-up stage lays over the window.
  static constexpr int kSplashTag = 50785;
  static constexpr double kSplashRemovalDelay = 0.5;

  virtual ~HomeScreen() = default;
  // What every home screen does when it is first shown: the splash goes kSplashRemovalDelay
  // later, unless the screen is gone by then.
  static void removeSplashLater(std::weak_ptr<platform::ui::ViewController> screen);
  // The home boxes, in the home screen's order.
  virtual std::vector<std::shared_ptr<HomeBox>> getAllBusiness() = 0;
  // Opens the box of that business code behind the login gate: at once when the box needs no
  // login or the user is logged in, otherwise after the login screen.
  virtual void gotoFunctionView(const std::string& businessCode) = 0;
  // Pushes the screen, animated, on the home screen's navigation controller.
  virtual void pushToAdvertiseMent(std::shared_ptr<platform::ui::ViewController> screen) = 0;
  // Opens the lottery entry at the page the link names after "page".
  virtual void handleUrlForTicket(const std::string& url) = 0;
  // Pops to the root screen and opens the business of the box with that title behind the login
  // gate (the way back from a receipt to the business just paid). A home screen without it only
  // logs.
  virtual void gotoNewBusiness(const std::string& title);
};

}  // namespace nvx
