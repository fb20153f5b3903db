// Requests from other apps. Another app opens the client by URL to have one of its businesses done
// for its user and is answered by URL when the user is finished. The router
// (AppSchedullerManager) offers every opened URL to a fixed list of handler classes; the handler
// that accepts it takes the client over for the visit: it marks the client as serving another
// app, brings the navigation stack back to the home screen, opens the business screen the caller
// asked for by function number and at the end returns to the caller by URL.
//
// One process-wide slot holds the current handler, whatever its class; every routed URL replaces
// it until a class accepts, so each accepted call starts with a fresh handler. A call is answered
// at most once: once its handler has returned to the caller, later returns only lead home.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/AlertView.h"
#include "platform/ui/ViewController.h"

namespace nvx {

class AppScheduller : public platform::ui::AlertViewDelegate, public std::enable_shared_from_this<AppScheduller> {
 public:
  // Alert tags: the exit alert (the caller cannot be opened) and the give-up alert.
  static constexpr int kExitAlertTag = 0;
  static constexpr int kGiveUpAlertTag = 1;
  static constexpr const char* kNoBusinessReason = "没有对应的业务";
  static constexpr const char* kGiveUpFormat = "%s！点击确定，返回%s";
  static constexpr const char* kExitFormat = "返回%s异常，确认退出诺维萨客户端。";
  static constexpr const char* kAlertTitle = "提示";
  static constexpr const char* kAlertButton = "确定";

  // Function number -> business screen class.
  using FuncNoClassMap = std::map<std::string, std::string>;

  AppScheduller() = default;
  ~AppScheduller() override = default;
  virtual std::string className() const { return "AppScheduller"; }

  // The current handler; a plain AppScheduller when the slot is empty.
  static std::shared_ptr<AppScheduller> sharedAppScheduller();
  // The current handler made to be a T (replaced by a new T when it is not one), with its url.
  template <class T>
  static std::shared_ptr<T> adpateSharedAppSchedullerWithUrl(const std::optional<std::string>& url) {
    auto held = std::dynamic_pointer_cast<T>(sharedAppScheduller());
    if (!held) {
      held = std::make_shared<T>();
      replaceShared(held);
    }
    static_cast<AppScheduller&>(*held).url_ = url;
    return held;
  }
  // The process's end when the exit alert is answered (a test installs its own).
  static void setProcessExit(std::function<void(int)> exit);

  // --- the handler's operations, in the order the router calls them ---
  // Whether this handler accepts the current url.
  virtual bool isAdapt() { return false; }
  // Begins serving: marks the client as serving, dismisses every alert, pops home.
  virtual void scheduling();
  // The function-number table; nothing for the base.
  virtual std::optional<FuncNoClassMap> funcNoClassMap() const { return std::nullopt; }
  // Returns to the calling app: true when its URL was opened.
  virtual bool callback();

  // Whether the text of url contains text (also true when there is no url text).
  bool isAdaptScheme(std::string_view text) const;
  // The text of url without any occurrence of text.
  std::string trimUrlWithSpecailCharset(std::string_view text) const;
  // Opens the business screen of the function number, or gives up with an alert.
  void dispatchFunction(const std::string& funcNo);
  // The give-up alert: its button returns to the caller.
  void alertSchedullingRequestError(const std::string& reason);
  // callback for back buttons and executors.
  void backToCaller() { callback(); }

  bool isOtherAppLaunching() const { return isOtherAppLaunching_; }
  // Whether this call has been answered.
  bool isAnswered() const { return answered_; }
  const std::optional<std::string>& url() const { return url_; }
  const std::string& callAppScheme() const { return callAppScheme_; }
  void setCallAppScheme(std::string scheme) { callAppScheme_ = std::move(scheme); }
  const std::string& callbackMsg() const { return callbackMsg_; }
  void setCallbackMsg(std::string msg) { callbackMsg_ = std::move(msg); }
  const std::string& sourceAppClientName() const { return sourceAppClientName_; }
  void setSourceAppClientName(std::string name) { sourceAppClientName_ = std::move(name); }
  const std::string& dispatchFuncNo() const { return dispatchFuncNo_; }

  // The key-value pairs of a call URL: every "nvx://" removed, pieces split on "&", each piece
  // split on "="; a piece of other than two parts is dropped, a later key replaces an earlier
  // one. With unescape each key and value is then percent-decoded (UTF-8; a pair that does not
  // decode is dropped), so an escaped "&" or "=" inside a value survives.
  static std::map<std::string, std::string> callPairs(std::string_view urlText, bool unescape);

  // The return URL: scheme "://" and the percent-escaped message (nothing behind "://" when the
  // message is empty).
  static std::string returnUrl(const std::string& scheme, const std::string& message);

  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int buttonIndex) override;

  // --- the client's ways in (AppServices) ---
  // Returns to the app being served, with failure marked first; nothing while none is served.
  static void returnToCallingApp(bool failed);

 protected:
  // Prepares a business screen before it is shown; empty for handlers without it.
  std::function<void(platform::ui::ViewController&)> beforeEnterBussinessViewController_;
  // Marks the call as answered; false when it had been already (the caller then only goes home).
  bool beginAnswer();
  void setIsOtherAppLaunching(bool on) { isOtherAppLaunching_ = on; }
  // Whether this handler is the current one (a replaced handler's late replies and alerts act
  // no more).
  bool isCurrent() const;
  // A login screen pushed on the application's stack, its back button returning to the caller and
  // a successful login running then.
  void pushLoginScreen(bool animated, std::function<void()> then);
  static void popHome(bool animated);
  std::shared_ptr<AppScheduller> self() { return shared_from_this(); }

  std::optional<std::string> url_;
  std::string callAppScheme_;
  std::string callbackMsg_;
  std::string sourceAppClientName_;

 private:
  friend class AppSchedullerManager;
  static void replaceShared(std::shared_ptr<AppScheduller> handler);

  std::string dispatchFuncNo_;
  bool isOtherAppLaunching_ = false;
  bool answered_ = false;
};

// The router of URLs opened by other apps.
class AppSchedullerManager {
 public:
  // A handler class: makes a new handler of its kind.
  struct HandlerClass {
    std::function<std::shared_ptr<AppScheduller>()> make;
  };

  AppSchedullerManager() = delete;

  // True when a handler accepted the URL and has begun serving it.
  static bool schedullerCenterAdpat(const std::optional<std::string>& url);
  // The handler classes, in the order they are asked.
  static std::vector<std::string> supportedAppSchedullerClasses();
  // Makes a handler class of another module known by its name (the bank app's, which is built
  // with the transfers); a class of the list that is not known is skipped (logged).
  static void registerHandlerClass(std::string name, HandlerClass handlerClass);
};

}  // namespace nvx
