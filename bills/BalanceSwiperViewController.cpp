#include "bills/BalanceSwiperViewController.h"

#include "app/ui/NVXResponseErrorHandler.h"
#include "bills/SwipeVariantOperations.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Color.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "reader/DHSwiperController.h"

namespace nvx {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

namespace {

constexpr const char* kLogTag = "bills";

std::shared_ptr<platform::ui::TableViewCell> plainCell() {
  auto cell = platform::ui::TableViewCell::create();
  cell->setBackgroundColor(Color::white());
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  return cell;
}

std::shared_ptr<platform::ui::Label> promptLabel(Rect frame, std::string text, double size) {
  auto label = platform::ui::Label::create(frame, std::move(text));
  label->setFont(Font::system(size));
  label->setBackgroundColor(Color::clear());
  return label;
}

}  // namespace

BalanceSwiperViewController::BalanceSwiperViewController() {
  auto comment = platform::ui::Label::create(Rect{30, 200, 280, 40}, kComment);
  comment->setFont(Font::system(14));
  comment->setTextColor(Color::black());
  comment->setTag(kCommentTag);
  customizeSwipeViewWithNavTitleAndComment(
      platform::Strings::localized("BalanceInquiry"), std::nullopt, platform::Strings::localized("DebitCardInquiryPlace"),
      platform::Strings::localized("DebitCardInquiryPasswordPlace"), std::nullopt, platform::Strings::localized("Next"),
      0, comment);
  // The hub is taken when the view loads, so at creation no reader is known yet.
  auto h = hub();
  isPlugin_ = h && h->isDevicePresent();
  bt1_ = buttonWithFrame(Rect{20, 35, 120, 40}, kPluggedTitle);
  bt1_->setEnabled(false);
  bt2_ = buttonWithFrame(Rect{180, 35, 120, 40}, kBuyTitle);
}

std::shared_ptr<BalanceSwiperViewController> BalanceSwiperViewController::create() {
  return std::make_shared<BalanceSwiperViewController>();
}

std::shared_ptr<platform::ui::Button> BalanceSwiperViewController::buttonWithFrame(Rect frame, const std::string& title) {
  auto button = platform::ui::Button::create(frame);
  button->setBackgroundImage(platform::ui::Image::named("half-btn-bg.png"), platform::ui::ControlState::Normal);
  button->setBackgroundImage(platform::ui::Image::named("half-btn-down-bg.png"),
                             platform::ui::ControlState::Highlighted);
  button->setTitle(title);
  return button;
}

// --- life cycle ----------------------------------------------------------------------------------

void BalanceSwiperViewController::viewDidLoad() {
  std::weak_ptr<BalanceSwiperViewController> weak = selfBalance();
  bt1_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](auto&) {
    if (auto s = weak.lock()) s->plugin();
  });
  bt2_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](auto&) {
    if (auto s = weak.lock()) s->gotoBuy();
  });
  SwipeViewController::viewDidLoad();

  auto h = hub();
  if (h && h->isMultPresent()) {
    gateThen(true);  // a box and an audio reader: the gate chooses, even for a legal terminal
  } else if (h && h->isDevicePresent() && isLegal()) {
    creatRequest();
  } else if (!h || !h->isDevicePresent()) {
    checkDevice();
  } else {
    gateThen(true);
  }
}

void BalanceSwiperViewController::gateThen(bool afterDelay) {
  if (!afterDelay) {
    performSwiperValid();
    return;
  }
  std::weak_ptr<BalanceSwiperViewController> weak = selfBalance();
  platform::dispatchAfter(platform::secs(kGateDelaySeconds), [weak] {
    if (auto s = weak.lock()) s->performSwiperValid();
  });
}

void BalanceSwiperViewController::viewWillAppear(bool animated) {
  SwipeViewController::viewWillAppear(animated);
  auto h = hub();
  if (!h || !h->isSwiperDriverInitilazied()) {
    reader::SwiperUtil::sharedInstance().startListen(
        std::weak_ptr<reader::AudioSwiperListener>(std::static_pointer_cast<reader::AudioSwiperListener>(selfBalance())));
  }
  if (h && h->isDevicePresent()) {
    bt1_->setEnabled(true);
    if (isPlugin_ && isViewLoaded()) cardSwiperStatusViewAfreshSwipeButtonPressed(*cardSwipeStatusView_);
  }
}

void BalanceSwiperViewController::viewWillDisappear(bool animated) {
  SwipeViewController::viewWillDisappear(animated);
  reader::SwiperUtil::sharedInstance().stopListen();
}

// --- table ---------------------------------------------------------------------------------------

std::optional<int> BalanceSwiperViewController::numberOfSections(platform::ui::TableView&) { return isPlugin_ ? 1 : 2; }

int BalanceSwiperViewController::numberOfRows(platform::ui::TableView&, int) { return 2; }

std::optional<double> BalanceSwiperViewController::heightForHeader(platform::ui::TableView&, int section) {
  return section == 0 ? 0.0 : 10.0;
}

std::optional<double> BalanceSwiperViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  return !isPlugin_ && path.section == 0 && path.row == 0 ? 90.0 : 45.0;
}

std::shared_ptr<platform::ui::View> BalanceSwiperViewController::viewForHeader(platform::ui::TableView&, int) {
  return platform::ui::View::create(Rect{0, 0, 320, 0});
}

std::shared_ptr<platform::ui::TableViewCell> BalanceSwiperViewController::cellForRow(platform::ui::TableView& table,
                                                                                     platform::ui::IndexPath path) {
  if (isPlugin_) return SwipeViewController::cellForRow(table, path);
  if (path.section == 0) {
    auto cell = plainCell();
    if (path.row == 0) {
      cell->contentView()->addSubview(promptLabel(Rect{20, 5, 280, 25}, kPlugInText, 14));
      cell->contentView()->addSubview(bt1_);
      cell->contentView()->addSubview(bt2_);
    } else {
      cell->contentView()->addSubview(promptLabel(Rect{20, 10, 280, 25}, kSupportText, 16));
    }
    return cell;
  }
  auto cell = SwipeViewController::cellForRow(table, {0, path.row});
  if (path.row == 0) {
    cardSwipeStatusView_->setText(kInsertReaderText);
    cardSwipeStatusView_->setAImage();
  }
  return cell;
}

// --- the two states --------------------------------------------------------------------------------

bool BalanceSwiperViewController::isLegal() {
  const User& user = User::currentUser();
  const std::string& termid = user.psamId();
  const auto& tpk = user.psamTPK();
  const auto& pik = user.psamPIK();
  return !termid.empty() && tpk && tpk->terminalId == termid && pik && pik->terminalId == termid;
}

void BalanceSwiperViewController::creatRequest() {
  SwipeVariantOperations::storeBalanceInquiry();
  isPlugin_ = true;
  if (tableView_) tableView_->reloadData();
}

void BalanceSwiperViewController::checkDevice() {
  if (isReaderThere()) {
    bt1_->setEnabled(true);
    return;
  }
  stopSwipeAndClearup();
}

bool BalanceSwiperViewController::isReaderThere() {
  auto h = AppServices::current().swiper();
  if (h && h->isDevicePresent()) return true;
  return reader::SwiperUtil::sharedInstance().isAudioDeviceDetected();
}

void BalanceSwiperViewController::performSwiperValid() {
  std::weak_ptr<BalanceSwiperViewController> weak = selfBalance();
  swiperValid([weak](bool ready) {
    auto self = weak.lock();
    if (!self) return;
    if (ready) {
      if (auto h = self->hub()) h->startCSwiper();
      self->creatRequest();
      return;
    }
    self->bt1_->setEnabled(self->isReaderThere());
  });
}

void BalanceSwiperViewController::plugin() {
  auto h = AppServices::current().swiper();
  if (h && h->isSwiperDriverInitilazied() && h->getCSwiperState() != 0) h->stopCSwiper();
  if (!h || !h->isDevicePresent()) return;
  std::weak_ptr<BalanceSwiperViewController> weak = selfBalance();
  swiperValid([weak](bool ready) {
    auto self = weak.lock();
    if (!self || !ready) return;
    if (auto hub = AppServices::current().swiper()) hub->startCSwiper();
    self->creatRequest();
  });
}

void BalanceSwiperViewController::gotoBuy() {
  auto screen = ScreenRegistry::shared().create(kBuyReaderClassName);
  if (!screen) {
    platform::log::info(kLogTag, "the reader-purchase screen is not built yet");
    return;
  }
  if (auto navigation = navigationController()) navigation->push(screen, true);
}

// --- reader events ---------------------------------------------------------------------------------

void BalanceSwiperViewController::onDevicePlugged() {
  isPlugin_ = true;
  bt1_->setEnabled(true);
  auto h = hub();
  if (!h || !h->isSwiperDriverInitilazied()) return;
  reader::SwiperUtil::sharedInstance().stopListen();
  if (User::currentUser().isHardwareSign()) {
    SwipeViewController::onDevicePlugged();
  } else if (isGatePending()) {
    // A gate pass waiting for the reader still hears of it.
    NVXViewController::onDevicePlugged();
  }
}

void BalanceSwiperViewController::onDeviceUnplugged() {
  isPlugin_ = false;
  bt1_->setEnabled(false);
  auto h = hub();
  if (!h || !h->isSwiperDriverInitilazied()) return;
  reader::SwiperUtil::sharedInstance().stopListen();
  SwipeViewController::onDeviceUnplugged();
}

void BalanceSwiperViewController::onDecodeError(int32_t decodeResult) {
  bt1_->setEnabled(isReaderThere());
  if (isViewLoaded()) platform::ui::Hud::hideAll(*view(), true);
  auto h = hub();
  if (h && h->isSwiperDriverInitilazied()) SwipeViewController::onDecodeError(decodeResult);
}

void BalanceSwiperViewController::onError(int32_t errorCode, const std::string& errorMessage) {
  SwipeViewController::onError(errorCode, errorMessage);
  if (!isViewLoaded()) return;
  if (auto h = hub()) h->stopCSwiper();
  cardSwipeStatusView_->setText(kInsertReaderText);
  cardSwipeStatusView_->setAImage();
  if (tableView_ && tableView_->numberOfSections() == 1) {
    cardSwiperStatusViewAfreshSwipeButtonPressed(*cardSwipeStatusView_);
  }
}

// --- alerts ----------------------------------------------------------------------------------------

void BalanceSwiperViewController::pushLogin() {
  auto login = LoginScreen::create();
  if (!login) return;
  if (auto configurable = std::dynamic_pointer_cast<LoginScreen>(login)) {
    configurable->setBoxTitle(kLoginBoxTitle);
    configurable->setDelegate(std::weak_ptr<LoginViewControllerDelegate>(selfBalance()));
  }
  if (auto navigation = ownOrAppNavigationController()) navigation->push(login, true);
}

void BalanceSwiperViewController::alertViewClickedButtonAtIndex(platform::ui::AlertView& alert, int index) {
  const int tag = alert.tag();
  if (tag == NVXResponseErrorHandler::kReloginAlertTag || (tag == kOtherUserReaderAlertTag && index == 1)) {
    pushLogin();
    return;
  }
  if (tag == kReaderAlertTag) {
    if (AppServices::current().isOtherAppLaunching()) {
      AppServices::current().returnToCallingApp(false);
    } else {
      bt1_->setEnabled(false);
    }
    return;
  }
  SwipeViewController::alertViewClickedButtonAtIndex(alert, index);
}

void BalanceSwiperViewController::alertViewDidDismissWithButtonIndex(platform::ui::AlertView& alert, int index) {
  if (alert.tag() == kReaderAlertTag) {
    // The screen stays (the swipe screen would leave): the user may plug the reader in again.
    NVXViewController::alertViewDidDismissWithButtonIndex(alert, index);
    wantToDisappear_ = false;
    return;
  }
  SwipeViewController::alertViewDidDismissWithButtonIndex(alert, index);
}

}  // namespace nvx
