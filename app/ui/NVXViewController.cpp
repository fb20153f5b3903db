#include "app/ui/NVXViewController.h"

#include "core/session/UIScreen.h"
#include "core/shell/AppServices.h"
#include "core/text/StringsTool.h"
#include "app/ui/BusinessTypeScreen.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/HudExt.h"
#include "app/ui/NVXPeoplePickerNavigationController.h"
#include "app/ui/PublicServiceScreen.h"
#include "app/ui/TextFieldExt.h"
#include "net/DataStatistics.h"
#include "core/shell/LoginScreen.h"
#include "app/ui/NVXResponseErrorHandler.h"
#include "platform/device/Device.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "NVXViewController";

using platform::Strings;
using platform::ui::Hud;

constexpr const char* kNoNumberTitle = "选取失败";
constexpr const char* kNoNumberMessage = "此联系人没有可供使用的手机号码\n请重新选择";
constexpr const char* kChooseNumberTitle = "请选择您需要使用的手机号码";

std::string removeChars(std::string_view text, std::string_view unwanted) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (unwanted.find(c) == std::string_view::npos) out.push_back(c);
  }
  return out;
}

}  // namespace

NVXViewController::NVXViewController() = default;

NVXViewController::~NVXViewController() {
  if (readerHUD_) readerHUD_->hide(false);
  // An identification still under way when the screen goes must not leave its spinner behind.
  if (HUD_) HUD_->hide(false);
  if (bindCheck_) bindCheck_->cancel();
}

std::shared_ptr<NVXViewController> NVXViewController::create() { return std::make_shared<NVXViewController>(); }

// --- life cycle ---------------------------------------------------------------------------------

void NVXViewController::viewDidLoad() {
  ViewController::viewDidLoad();
  needClearView_ = true;
  if (!isCancelStepRecord_) controllerRecord();

  auto root = view();
  // A system volume view somewhere off the screen keeps the system's volume overlay away while a
  // reader raises the output volume.
  root->addSubview(platform::ui::View::create(platform::ui::Rect{-500, -500, 1, 1}));

  const auto& screen = platform::Device::screen().bounds;
  platform::ui::Rect frame = root->frame();
  root->setFrame(platform::ui::Rect{frame.x, frame.y, screen.width, screen.height - kBarsHeight});
  root->setBackgroundColor(platform::ui::Color{kBackgroundLevel, kBackgroundLevel, kBackgroundLevel, 1});

  auto back = ButtonCreater::backBarButton();
  back->setExclusiveTouch(true);
  std::weak_ptr<NVXViewController> weak = weakSelf();
  back->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->backButtonPressed();
  });
  navigationItem().setLeftBarButtonItem(platform::ui::BarButtonItem::withCustomView(back));
}

void NVXViewController::viewWillAppear(bool animated) {
  ViewController::viewWillAppear(animated);
  navigationItem().setHidesBackButton(true);
  if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, true);
  AppServices::current().setSwiperListener(std::weak_ptr<reader::CSwiperControllerDelegate>(self()));
}

void NVXViewController::viewWillDisappear(bool animated) { ViewController::viewWillDisappear(animated); }

void NVXViewController::viewDidUnload() {
  hideReaderHud(false);
  readerHUD_.reset();
  unplugedAlert_.reset();
}

bool NVXViewController::shouldAutorotateTo(platform::ui::Orientation orientation) const {
  using platform::ui::Orientation;
  if (UIScreen::isFourInch() && !AppServices::current().isShowWizard()) {
    return orientation == Orientation::Portrait || orientation == Orientation::PortraitUpsideDown;
  }
  return orientation == Orientation::Portrait;
}

void NVXViewController::backButtonPressed() {
  if (navBackItemExecutor_) {
    navBackItemExecutor_->perform();
    return;
  }
  if (auto navigation = navigationController()) navigation->pop(true);
}

std::shared_ptr<platform::ui::NavigationController> NVXViewController::ownOrAppNavigationController() const {
  if (auto navigation = navigationController()) return navigation;
  return AppServices::current().navigationController();
}

// --- prompts --------------------------------------------------------------------------------------

void NVXViewController::showPrompt(std::string text) { showPrompt(std::move(text), kPromptSeconds); }

void NVXViewController::showPrompt(std::string text, std::function<void()> follow) {
  showPrompt(std::move(text));
  platform::dispatchAfter(platform::secs(kFollowSeconds), [keep = self(), follow = std::move(follow)]() mutable {
    auto callback = std::move(follow);
    if (callback) callback();
  });
}

void NVXViewController::showPrompt(std::string text, double delay) {
  if (HudExt::isAlertHoldingPrompts()) return;
  auto window = AppServices::current().window();
  if (!window) return;
  auto hud = Hud::showOn(*window, true);
  hud->setMode(Hud::Mode::Text);
  hud->setLabel(std::move(text));
  hud->setYOffset(HudExt::kPromptYOffset);
  hud->hide(true, delay);
}

// --- spinner --------------------------------------------------------------------------------------

void NVXViewController::showSpinnerWhen(std::function<void()> work, std::function<void()> completion) {
  auto navigation = navigationController();
  auto navigationView = navigation ? navigation->viewIfLoaded() : nullptr;
  if (!navigationView) return;
  showSpinnerInView(navigationView, std::move(work), std::move(completion));
}

void NVXViewController::showSpinnerInView(const std::shared_ptr<platform::ui::View>& /*view*/,
                                          std::function<void()> work, std::function<void()> completion) {
  auto window = AppServices::current().window();
  std::shared_ptr<Hud> spinner;
  if (window) {
    Hud::hideAll(*window, false);
    spinner = Hud::showOn(*window, true);
  }
  // The screen, the callables and the spinner go back to the main thread with the completion,
  // so that whatever they hold is let go there.
  platform::dispatchGlobal([keep = self(), work = std::move(work), completion = std::move(completion),
                            spinner = std::move(spinner)]() mutable {
    if (work) work();
    platform::dispatchMain([keep = std::move(keep), work = std::move(work), completion = std::move(completion),
                            spinner = std::move(spinner)]() mutable {
      if (spinner) spinner->hide(true);
      auto done = std::move(completion);
      if (done) done();
      work = nullptr;
      keep.reset();
    });
  });
}

// --- contact picker -----------------------------------------------------------------------------

void NVXViewController::getPhoneNumberFromAddressBook() {
  auto picker = NVXPeoplePickerNavigationController::create();
  picker->setPeoplePickerDelegate(std::weak_ptr<platform::ui::ContactPickerDelegate>(self()));
  picker_ = picker;
  presentModal(picker, true);
}

void NVXViewController::getPhoneNumberSuccess(const std::string& /*phoneNumber*/) {}

std::vector<std::pair<std::string, std::string>> NVXViewController::candidatePhoneNumbersOf(
    const platform::Person& person) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& phone : person.phones) {
    std::string number = removeChars(phone.value, "-+() ");
    if (number.rfind("86", 0) == 0) number.erase(0, 2);
    if (!StringsTool::isPhoneNumber(number)) continue;
    std::string display = number;
    if (!phone.label.empty()) {
      display += "（" + platform::AddressBook::localizedLabel(phone.label) + "）";
    }
    out.emplace_back(std::move(display), std::move(number));
  }
  return out;
}

void NVXViewController::didCancel(platform::ui::ContactPicker& peoplePickerNavigationController) {
  peoplePickerNavigationController.dismissModal(true);
}

bool NVXViewController::shouldContinueAfterSelectingPerson(platform::ui::ContactPicker& peoplePickerNavigationController,
                                                           const platform::Person& person) {
  candidatePhoneNumbers_.clear();
  std::vector<std::string> order;
  for (auto& [display, number] : candidatePhoneNumbersOf(person)) {
    if (candidatePhoneNumbers_.emplace(display, number).second) order.push_back(display);
  }

  if (candidatePhoneNumbers_.empty()) {
    platform::ui::AlertView::create(kNoNumberTitle, kNoNumberMessage, Strings::localized("Ok"))->show();
    return false;
  }
  if (candidatePhoneNumbers_.size() == 1) {
    std::string number = candidatePhoneNumbers_.begin()->second;
    peoplePickerNavigationController.dismissModal(true);
    getPhoneNumberSuccess(number);
    return false;
  }
  // One button per number in order; the cancel button comes last.
  auto sheet = platform::ui::ActionSheet::create(kChooseNumberTitle, Strings::localized("Cancel"), std::nullopt, order);
  sheet->setDelegate(std::weak_ptr<platform::ui::ActionSheetDelegate>(self()));
  sheet->showIn(*peoplePickerNavigationController.view());
  return false;
}

bool NVXViewController::shouldContinueAfterSelectingProperty(platform::ui::ContactPicker&, const platform::Person&,
                                                             platform::ui::ContactProperty, int) {
  return false;
}

void NVXViewController::actionSheetClickedButtonAtIndex(platform::ui::ActionSheet& actionSheet, int index) {
  if (index == actionSheet.cancelButtonIndex()) return;
  auto it = candidatePhoneNumbers_.find(actionSheet.buttonTitleAtIndex(index));
  if (it == candidatePhoneNumbers_.end()) return;
  std::string number = it->second;
  getPhoneNumberSuccess(number);
  if (auto picker = picker_.lock()) picker->dismissModal(true);
}

// --- keypads ----------------------------------------------------------------------------------------

void NVXViewController::addDoneButtonForNumberPad(platform::ui::TextField& field) {
  field.setKeyboardType(platform::ui::KeyboardType::NumberPad);
  TextFieldExt::addDoneButtonToolBar(field);
}

void NVXViewController::addDoneButtonForDecimalPad(platform::ui::TextField& field) {
  field.setKeyboardType(platform::ui::KeyboardType::DecimalPad);
  TextFieldExt::addDoneButtonToolBar(field);
}

// --- alerts ---------------------------------------------------------------------------------------

void NVXViewController::alertViewClickedButtonAtIndex(platform::ui::AlertView& alertView, int index) {
  switch (alertView.tag()) {
    case kNoReaderAlertTag:
    case kNewReaderAlertTag:
    case kOtherUserReaderAlertTag:
      gateAlertAnswered(alertView, index);
      break;
    case NVXResponseErrorHandler::kReloginAlertTag:
      reloginAlertAnswered();
      break;
    default:
      break;
  }
}

void NVXViewController::reloginAlertAnswered() {
  if (auto login = LoginScreen::create()) {
    if (auto configurable = std::dynamic_pointer_cast<LoginScreen>(login)) {
      configurable->setBoxTitle(Strings::localized("ReLogin"));
    }
    pushScreen(login, true);
  }
  statusClear();
}

void NVXViewController::pushScreen(const std::shared_ptr<platform::ui::ViewController>& screen, bool animated) {
  auto navigation = ownOrAppNavigationController();
  if (!navigation) {
    platform::log::warning(kTag, "no navigation stack to push " + screen->className() + " on");
    return;
  }
  navigation->push(screen, animated);
}

// --- statistics -----------------------------------------------------------------------------------

DataStatisticsMap::Table NVXViewController::mapDictionary() { return DataStatisticsMap::identifierMap(); }

void NVXViewController::controllerRecord() {
  const std::string name = className();
  const DataStatisticsMap::Table identifiers = mapDictionary();
  const DataStatisticsMap::Table probes = DataStatisticsMap::probeMap();
  auto lookup = [](const DataStatisticsMap::Table& table, const std::string& key) -> std::optional<std::string> {
    auto it = table.find(key);
    if (it == table.end()) return std::nullopt;
    return it->second;
  };

  std::optional<std::string> step = lookup(identifiers, name);
  std::optional<std::string> probe = lookup(probes, name);

  if (name == PublicServiceScreen::kClassName) {
    step.reset();
    if (auto* screen = dynamic_cast<const PublicServiceScreen*>(this)) {
      step = lookup(identifiers, DataStatisticsMap::numberedKey(name, screen->serviceType()));
    } else {
      platform::log::warning(kTag, name + " tells no service type");
    }
  } else if (name == BusinessTypeScreen::kSwipeClassName || name == BusinessTypeScreen::kSwipeResultClassName ||
             name == BusinessTypeScreen::kMultPayClassName) {
    const bool withProbe = name != BusinessTypeScreen::kMultPayClassName;
    step.reset();
    if (withProbe) probe.reset();
    if (auto* screen = dynamic_cast<const BusinessTypeScreen*>(this)) {
      const std::string key = DataStatisticsMap::numberedKey(name, screen->businessType());
      step = lookup(identifiers, key);
      if (withProbe) probe = lookup(probes, key);
    } else {
      platform::log::warning(kTag, name + " tells no business type");
    }
  }

  stepIdentifier_ = step.value_or(std::string());
  if (step) DataStatistics::sharedDataStatistics().stepRecord(*step);
  if (probe) DataStatistics::probe(*probe);
}

}  // namespace nvx
