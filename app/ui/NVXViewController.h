// The base screen of nearly every screen of the client. It gives each screen the same navigation
// bar with the client's back button, records the screen visit for the usage statistics, shows
// short text prompts and a blocking spinner around slow work, offers the contact picker for phone
// numbers and Done bars for numeric keypads, and makes the screen the receiver of card-reader
// events whenever it is shown.
//
// It also holds the reader gate, swiperValid: before a card payment the screen asks whether a
// usable reader is ready (the user logged in, the microphone allowed, a reader present, its
// serial number (KSN) known, the reader bound to the user and its terminal signed in). The gate's
// steps, its reader events and its alerts are in NVXViewControllerGate.cpp.
//
// Ownership: the reader listener, alert, sheet and picker delegates are known weakly; a callback
// kept in the screen's own views captures the screen weakly. Work handed to the spinner and the
// prompt's follow-up keep the screen alive until their completion has run on the main thread.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CMExecutor.h"
#include "net/DataStatisticsMap.h"
#include "platform/device/AddressBook.h"
#include "platform/net/HttpRequest.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ContactPicker.h"
#include "platform/ui/Hud.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"
#include "reader/CSwiperControllerDelegate.h"

namespace nvx {

class TerminalManager;

class NVXViewController : public platform::ui::ViewController,
                          public reader::CSwiperControllerDelegate,
                          public platform::ui::AlertViewDelegate,
                          public platform::ui::ActionSheetDelegate,
                          public platform::ui::ContactPickerDelegate {
 public:
  // The gate's answer: true when the reader is ready.
  using ValidCompletion = std::function<void(bool)>;

  static constexpr const char* kClassName = "NVXViewController";
  // Status bar (20) and navigation bar (44): a screen's view is the screen height less this.
  static constexpr double kBarsHeight = 64;
  // The page colour's red, green and blue.
  static constexpr double kBackgroundLevel = 247.0 / 255.0;
  // How long showPrompt(text) stays, and the wait before showPrompt(text, follow)'s callback.
  static constexpr double kPromptSeconds = 1.4;
  static constexpr double kFollowSeconds = 2.0;

  // The gate's alerts.
  static constexpr int kNoReaderAlertTag = 1111101;
  static constexpr int kNewReaderAlertTag = 1111102;
  static constexpr int kOtherUserReaderAlertTag = 1111103;
  // Texts of the gate.
  static constexpr const char* kLoggedOutPrompt = "您已经登出，请重新登录！";
  static constexpr const char* kIdentifyingLabel = "身份识别中...";
  static constexpr const char* kReadingKsnLabel = "正在识别设备";
  static constexpr const char* kDeviceNotFoundLabel = "设备查找失败";
  static constexpr const char* kNetworkFailedMessage = "网络连接失败";

  NVXViewController();
  // Hides the reader overlay (and the gate's identifying overlay) without animation.
  ~NVXViewController() override;
  // A plain base screen.
  static std::shared_ptr<NVXViewController> create();

  std::string className() const override { return kClassName; }

  // --- life cycle ---
  // The statistics visit (unless isCancelStepRecord), the hidden volume view, the view's size and
  // page colour, and the back button.
  void viewDidLoad() override;
  // Hides the standard back button, shows the navigation bar with animation and takes the reader
  // events (the application delegate's swiperListener).
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;
  // Releases the reader overlay and the no-reader alert. Nothing here calls it: a derived screen
  // that drops its view calls it.
  virtual void viewDidUnload();
  // shouldAutorotateToInterfaceOrientation: portrait; on a 4-inch screen also upside down while
  // the first-run guide is not shown.
  bool shouldAutorotateTo(platform::ui::Orientation orientation) const override;

  // navBackItemExecutor when set, else pops the screen with animation.
  virtual void backButtonPressed();

  // --- prompts ---
  // A text prompt for 1.4 s.
  void showPrompt(std::string text);
  // showPrompt(text), then callback 2 s later on the main thread; the screen stays alive until then.
  void showPrompt(std::string text, std::function<void()> follow);
  // A text prompt over the application window, 32 points above its centre, for delay seconds;
  // nothing while an alert is up whose tag is not 987654.
  void showPrompt(std::string text, double delay);

  // --- spinner ---
  // showSpinnerInView with the navigation controller's view; outside a navigation controller
  // nothing happens and neither callback runs.
  void showSpinnerWhen(std::function<void()> work, std::function<void()> completion);
  // A spinner over the application window while work runs on a worker thread; then, on the main
  // thread, the spinner goes and completion runs (exactly once). The screen stays alive until
  // then. The view is not used. Synchronous requests belong in the work, reading their results in
  // the completion; the work must not touch screens or the session.
  void showSpinnerInView(const std::shared_ptr<platform::ui::View>& view, std::function<void()> work,
                         std::function<void()> completion);

  // --- the reader gate (NVXViewControllerGate.cpp) ---
  // Runs the gate; completion (main thread) at most once per pass: YES when the reader is ready,
  // NO when the gate stops; some stops leave it pending until a reader event settles it. A new
  // pass replaces a pending completion without running it.
  void swiperValid(ValidCompletion completion);
  // Clears the reader's KSN and keys in User.
  void statusClear();
  // The ownership verdict on a finished user-device check: YES when the server confirms that the
  // reader belongs to the user; otherwise NO with a message, or "-2" / "0", in message.
  static bool checkNetBind(const platform::net::HttpRequest& request, std::string* message);
  // The microphone step, then checkSwiperValid.
  void checkRecorderValid(ValidCompletion completion);
  // The identifying step: presence, model and keys.
  void checkSwiperValid(ValidCompletion completion);
  // The gate's success: answers YES and hides the identifying overlay.
  virtual void successToPush();

  // --- contact picker ---
  // Presents the contact picker modally with this screen as its delegate.
  void getPhoneNumberFromAddressBook();
  // Receives the chosen number (11 digits); nothing in the base.
  virtual void getPhoneNumberSuccess(const std::string& phoneNumber);
  // The mobile numbers a person offers, in order: (display text, number).
  static std::vector<std::pair<std::string, std::string>> candidatePhoneNumbersOf(const platform::Person& person);

  // --- keypads ---
  // The number (decimal) keypad with a black translucent Done bar of 320 x 44 that ends editing;
  // a custom input view is removed.
  static void addDoneButtonForNumberPad(platform::ui::TextField& field);
  static void addDoneButtonForDecimalPad(platform::ui::TextField& field);

  // --- delegates ---
  // peoplePickerNavigationControllerDidCancel: dismisses the picker.
  void didCancel(platform::ui::ContactPicker& peoplePickerNavigationController) override;
  // The person's mobile numbers: none gives an alert, one is chosen at once, several give a
  // sheet. Never continues into the person's details.
  bool shouldContinueAfterSelectingPerson(platform::ui::ContactPicker& peoplePickerNavigationController,
                                          const platform::Person& person) override;
  bool shouldContinueAfterSelectingProperty(platform::ui::ContactPicker& peoplePickerNavigationController,
                                            const platform::Person& person, platform::ui::ContactProperty property,
                                            int identifier) override;
  // actionSheet:clickedButtonAtIndex: the choice among a person's numbers.
  void actionSheetClickedButtonAtIndex(platform::ui::ActionSheet& actionSheet, int index) override;
  // alertView:clickedButtonAtIndex: the gate's alerts and the token-expiry (re-login) alert.
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) override;

  // --- reader events as the base answers them (the gate's); swipe and pay screens override ---
  void onDevicePlugged() override;
  void onDeviceUnplugged() override;
  void onNoDeviceDetected() override;
  void onWaitingForDevice() override;
  void onWaitingForCardSwipe() override;
  void onDecodeError(int32_t decodeResult) override;
  void onTimeout() override;
  void onInterrupted() override;
  void onGetKsnCompleted(const std::string& ksn) override;
  void onError(int32_t errorCode, const std::string& errorMessage) override;

  // --- statistics ---
  // The step identifier table (DataStatisticsMap identifierMap).
  static DataStatisticsMap::Table mapDictionary();
  // Records the visit: the screen's step identifier (kept as stepIdentifier) and its probe.
  void controllerRecord();

  // --- fields ---
  const std::string& stepIdentifier() const { return stepIdentifier_; }
  void setStepIdentifier(std::string id) { stepIdentifier_ = std::move(id); }
  const std::shared_ptr<CMExecutor>& navBackItemExecutor() const { return navBackItemExecutor_; }
  void setNavBackItemExecutor(std::shared_ptr<CMExecutor> executor) { navBackItemExecutor_ = std::move(executor); }
  bool isCancelStepRecord() const { return isCancelStepRecord_; }
  void setIsCancelStepRecord(bool on) { isCancelStepRecord_ = on; }
  // Set when the view loads; a form that reads it empties itself each time it is shown while set.
  bool needClearView() const { return needClearView_; }
  void setNeedClearView(bool on) { needClearView_ = on; }
  // The gate's identifying overlay, and the reader overlay shown while the KSN is read.
  const std::shared_ptr<platform::ui::Hud>& HUD() const { return HUD_; }
  const std::shared_ptr<platform::ui::Hud>& readerHUD() const { return readerHUD_; }
  // The no-reader alert, once made.
  const std::shared_ptr<platform::ui::AlertView>& unplugedAlert() const { return unplugedAlert_; }
  // The numbers the contact picker offers now: display text -> number.
  const std::map<std::string, std::string>& candidatePhoneNumbers() const { return candidatePhoneNumbers_; }
  // Whether a gate pass waits for a reader event or a reply.
  bool isGatePending() const { return static_cast<bool>(valid_); }

 protected:
  // This screen as a shared object of its own class.
  std::shared_ptr<NVXViewController> self() { return std::static_pointer_cast<NVXViewController>(shared_from_this()); }
  std::weak_ptr<NVXViewController> weakSelf() { return self(); }
  // The screen's navigation controller, or the application's when it has none.
  std::shared_ptr<platform::ui::NavigationController> ownOrAppNavigationController() const;

 private:
  // --- gate steps ---
  void presenceStep(ValidCompletion completion, uint64_t pass);
  void modelAndKeysStep(ValidCompletion completion);
  void bindingCheckStep(const std::string& ksn);
  void bindingVerdict(uint64_t pass, bool bound, const std::string& message);
  void terminalSignIn(uint64_t pass);
  // Runs the kept completion once with the answer and clears it; drops an identification still
  // under way (its request and overlay).
  void answer(bool ready);
  // Drops the kept completion without running it (a new pass begins).
  void answerNothing();
  // Cancels the binding check or terminal sign-in under way; whether there was one.
  bool dropIdentification();
  void hideIdentifying(bool animated);
  void hideReaderHud(bool animated);
  void showNoReaderAlert();
  void gateAlertAnswered(platform::ui::AlertView& alert, int index);
  void reloginAlertAnswered();
  void pushScreen(const std::shared_ptr<platform::ui::ViewController>& screen, bool animated);

  std::shared_ptr<platform::ui::Hud> HUD_;
  std::shared_ptr<platform::ui::Hud> readerHUD_;
  std::shared_ptr<platform::ui::AlertView> unplugedAlert_;
  // Set while the no-reader alert is dismissed because a reader came: that is no answer of the user.
  bool dismissingUnplugedAlert_ = false;
  std::map<std::string, std::string> candidatePhoneNumbers_;
  std::weak_ptr<platform::ui::ContactPicker> picker_;
  ValidCompletion valid_;
  // Counts gate passes: a reply that arrives for an older pass is dropped.
  uint64_t gatePass_ = 0;
  // The binding check under way, if any.
  std::shared_ptr<platform::net::HttpRequest> bindCheck_;
  // The terminal sign-in under way, if any.
  std::shared_ptr<TerminalManager> signIn_;
  std::string stepIdentifier_;
  std::shared_ptr<CMExecutor> navBackItemExecutor_;
  bool isCancelStepRecord_ = false;
  bool needClearView_ = false;
};

}  // namespace nvx
