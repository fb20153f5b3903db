#include "app/ui/NVXBaseViewController.h"

#include "app/ui/ColorExt.h"
#include "app/ui/BarButtonItemExt.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/ControlExt.h"
#include "app/ui/TextFieldExt.h"
#include "app/ui/ViewExt.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

namespace {
constexpr std::string_view kTag = "NVXBaseViewController";
}  // namespace

NVXBaseViewController::~NVXBaseViewController() = default;

std::shared_ptr<NVXBaseViewController> NVXBaseViewController::create() {
  return std::make_shared<NVXBaseViewController>();
}

void NVXBaseViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  view()->setBackgroundColor(ColorExt::defaultPageViewBgColor());
}

void NVXBaseViewController::viewDidUnload() {
  releaseSomething();
  NVXViewController::viewDidUnload();
}

void NVXBaseViewController::releaseSomething() {
  theNextButton_.reset();
  navRightBarItem_.reset();
}

std::shared_ptr<platform::ui::NavigationController> NVXBaseViewController::fetchNavigationController() const {
  return ownOrAppNavigationController();
}

void NVXBaseViewController::push(const ScreenClass& screenClass, bool animated) {
  if (!screenClass) {
    platform::log::warning(kTag, className() + ": no screen class to push");
    return;
  }
  if (auto root = viewIfLoaded()) ViewExt::findAndResignFirstResponder(*root);
  auto screen = screenClass();
  if (!screen) return;
  auto navigation = fetchNavigationController();
  if (!navigation) {
    platform::log::warning(kTag, "no navigation stack to push " + screen->className() + " on");
    return;
  }
  navigation->push(screen, animated);
}

void NVXBaseViewController::pushController(const std::shared_ptr<platform::ui::ViewController>& screen, bool animated) {
  if (!screen) return;
  if (auto root = viewIfLoaded()) ViewExt::findAndResignFirstResponder(*root);
  auto navigation = fetchNavigationController();
  if (!navigation) {
    platform::log::warning(kTag, "no navigation stack to push " + screen->className() + " on");
    return;
  }
  navigation->push(screen, animated);
}

void NVXBaseViewController::addNextButton(platform::ui::Point center) {
  theNextButton_ = ButtonCreater::bigButtonWithText(platform::Strings::localized("Next"));
  std::weak_ptr<NVXViewController> weak = weakSelf();
  ControlExt::addTargetDownAction(*theNextButton_, this, [weak](platform::ui::Control&) {
    if (auto screen = std::static_pointer_cast<NVXBaseViewController>(weak.lock())) screen->theNextStep();
  });
  theNextButton_->setCenter(center);
  view()->addSubview(theNextButton_);
}

void NVXBaseViewController::addNextButton(platform::ui::Point center, ScreenClass nextCtrlCls) {
  nextCtrlCls_ = std::move(nextCtrlCls);
  addNextButton(center);
}

void NVXBaseViewController::theNextStep() { push(nextCtrlCls_); }

void NVXBaseViewController::initNavRightBarItem(std::string_view title,
                                                std::function<void(NVXBaseViewController&)> action) {
  std::weak_ptr<NVXViewController> weak = weakSelf();
  navRightBarItem_ = BarButtonItemExt::defaultNavBarItemButton(
      title, this, [weak, action = std::move(action)](platform::ui::Control&) {
        auto screen = std::static_pointer_cast<NVXBaseViewController>(weak.lock());
        if (screen && action) action(*screen);
      });
  navigationItem().setRightBarButtonItem(platform::ui::BarButtonItem::withCustomView(navRightBarItem_));
}

std::optional<bool> NVXBaseViewController::shouldReturn(platform::ui::TextField& /*field*/) {
  if (auto root = viewIfLoaded()) ViewExt::findAndResignFirstResponder(*root);
  return true;
}

std::optional<bool> NVXBaseViewController::shouldChangeCharacters(platform::ui::TextField& field,
                                                                  platform::Range16 range,
                                                                  const std::string& replacement) {
  return TextFieldExt::shouldChangeCharactersInRange(field, range, replacement);
}

}  // namespace nvx
