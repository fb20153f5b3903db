// Calls from lower modules up to the application (the request layer wants the login screen, the
// payment flow wants "back to the business's screen", the URL router, home dispatch). client/
// implements it; tests install fakes. Every operation has a harmless default so that a module
// can be tested without the whole client.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace reader {
class DHSwiperController;
class CSwiperControllerDelegate;
}  // namespace reader
class LoginViewControllerDelegate;

// The host's session values copied into the lottery sub-application before it is entered.
struct LotterySessionValues {
  std::string finalTokenid;
  std::string mobelNum;
  std::string userID;
};

class AppServices {
 public:
  virtual ~AppServices() = default;

  // The installed services (a default that does nothing until client/ or a test installs one).
  static AppServices& current();
  static void install(std::shared_ptr<AppServices> services);

  // The application's one navigation stack, when it exists.
  virtual std::shared_ptr<platform::ui::NavigationController> navigationController() { return nullptr; }
  // The home screen (the application delegate's home), which shows the home panels' prompts.
  virtual std::shared_ptr<platform::ui::ViewController> homeViewController() { return nullptr; }
  // The application's main window.
  virtual std::shared_ptr<platform::ui::Window> window() { return nullptr; }

  // The progress indicator shown last with a text (the application delegate's "hud"): replaced
  // by each new one, never cleared.
  virtual std::shared_ptr<platform::ui::Hud> hud() { return nullptr; }
  virtual void setHud(std::shared_ptr<platform::ui::Hud> /*hud*/) {}
  // Whether the first-run guide is on screen (the application delegate's "isShowWizard").
  virtual bool isShowWizard() { return false; }
  // The main API's base address ("https://host:port/path/"), whose host the configuration
  // watches for reachability; empty when unknown.
  virtual std::string mainApiAddress() { return {}; }

  // The reader hub the application delegate created at start-up, when there is one.
  virtual std::shared_ptr<reader::DHSwiperController> swiper() { return nullptr; }
  // The screen that receives the reader events now (the application delegate's "swiperListener"),
  // known weakly: the screen in front takes it on every viewWillAppear.
  virtual std::shared_ptr<reader::CSwiperControllerDelegate> swiperListener() { return nullptr; }
  virtual void setSwiperListener(std::weak_ptr<reader::CSwiperControllerDelegate> /*listener*/) {}
  // The application delegate's "ksnState": 0 while the reader's serial number is unknown or being
  // read, 4 once one has arrived.
  virtual int ksnState() { return 0; }
  virtual void setKsnState(int /*state*/) {}

  // Whether another app opened the client in this activation (the application delegate's "isSYT").
  virtual bool isSYT() { return false; }
  // The older merchant checkout in progress (the application delegate's "checkout"): as the
  // delegate of a login screen opened on its behalf, and its return to the calling app
  // ("redirect:"; false: with failure). Nothing without a checkout.
  virtual std::shared_ptr<LoginViewControllerDelegate> checkoutLoginDelegate() { return nullptr; }
  virtual void redirectCheckout(bool /*success*/) {}
  // Whether a request from another app is being served now (the payment flow's shared
  // AppScheduller, sharedAppScheduller's isOtherAppLaunching).
  virtual bool isOtherAppLaunching() { return false; }
  // Returns to the app that opened the client (the shared request router's callback). With
  // failed, the payment is marked failed first, so that a merchant checkout is answered
  // "Failed" and never "Completion". Nothing while no other app is served.
  virtual void returnToCallingApp(bool /*failed*/) {}
  // The bank app's large-transfer alert (offered while a bank app calls the client when a
  // transfer is above the card's limit); cancelAction runs on its cancel button. false when
  // there is no such alert to show.
  virtual bool alertOpenLimitWithCancelAction(std::function<void()> /*cancelAction*/) { return false; }
  // Starts the service-level upgrade that allows more payout cards (the settings' white-list
  // application): the profile check, then the application, or the login first.
  virtual void gotoWhiteList() {}

  // --- the home screen's ways into a business and its tables (home/) ---
  // Pops to the root screen and opens the business of the home box with that title behind the
  // login gate (the home screen's gotoNewBusiness:); without a title only the pop.
  virtual void gotoNewBusiness(const std::optional<std::string>& /*title*/) {}
  // Opens the home box of a business code behind the login gate (gotoFunctionView:).
  virtual void gotoFunctionView(const std::string& /*businessCode*/) {}
  // The business-code table's value for a code: a screen class name, a label or an empty text;
  // nothing for a code the table lacks.
  virtual std::optional<std::string> businessClassOfCode(const std::string& /*busid*/) { return std::nullopt; }
  // The title of the first catalogue box whose screen is that class; nothing when none is.
  virtual std::optional<std::string> boxTitleOfScreenClass(const std::string& /*screenClass*/) { return std::nullopt; }
  // The receipt's marketing item, by its fields (marketingSchedulling:): pops to the home screen,
  // then acts on aType ("1" advert page, "2" the business of note, "3" the client's store
  // page, "5" the mall theme page at aUrl; anything else nothing more).
  virtual void marketingSchedulling(const std::string& /*aType*/, const std::string& /*note*/,
                                    const std::string& /*content*/, const std::string& /*aUrl*/) {}
  // Adds the repayment reminder the repayment form prepared when it is for this card number,
  // else drops it (the card reminders' commitAddReminderForCardnum:).
  virtual void commitAddReminderForCardnum(const std::string& /*cardNumber*/) {}
  // Marks the lottery's account screen for a refresh when it shows again (the lottery session's
  // setShuaxin:).
  virtual void setLotteryRefresh() {}

  // --- what modules below the screens (reader/) show, without screen code of their own ---
  // A brief text prompt over the window: text only, a little above its centre, gone after two
  // seconds. Nothing without a window.
  virtual void showTextPrompt(const std::string& text);
  // The login screen (through ScreenRegistry) pushed, animated, on the navigation stack of the
  // application's top screen; logged when there is none.
  virtual void pushLoginScreenOnTop();
  // The navigation stack of screen, unless screen is of class exceptClass or is on none: then
  // the application's.
  std::shared_ptr<platform::ui::NavigationController> navigationForScreen(
      const std::shared_ptr<platform::ui::ViewController>& screen, std::string_view exceptClass);
  // Pushes / pops (animated) on a navigation stack.
  static void pushScreen(platform::ui::NavigationController& navigation,
                         std::shared_ptr<platform::ui::ViewController> screen);
  static void popScreen(platform::ui::NavigationController& navigation);
  // Screens of higher modules that take arguments when they are made. Each answers false (and
  // the caller logs) while the screen's module is not built.
  // initWithServiceType: of the utility-bill screen (0 water, 1 electricity, 2 gas, 3 telecoms).
  virtual bool initPublicService(platform::ui::ViewController& /*screen*/, int /*serviceType*/) { return false; }
  // The receivables screen's item (setItem: with a new ReceivableItem).
  virtual bool setReceivableItem(platform::ui::ViewController& /*screen*/, const std::string& /*name*/,
                                 const std::string& /*iid*/, int64_t /*amountFen*/, int /*count*/) {
    return false;
  }
  // The lottery session before the lottery's root screen is made; and the tab its root shows
  // (touchButton: with a button of that tag).
  virtual void setLotterySession(const LotterySessionValues& /*values*/) {}
  virtual bool selectLotteryTab(platform::ui::ViewController& /*lotteryRoot*/, int /*tab*/) { return false; }
  // Asks the server for the current theme and downloads what changed, for the next start (the
  // home subsystem's theme refresh); nothing until it is built.
  virtual void updateMainTheme() {}
};

}  // namespace nvx
