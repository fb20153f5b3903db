#include "pay/CheckoutVerification.h"

#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "pay/SwipeViewController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Application.h"
#include "platform/ui/Hud.h"
#include "reader/DHSwiperController.h"

namespace nvx {

namespace {

using platform::Json;
using platform::Strings;

constexpr std::string_view kTag = "CheckoutVerification";

}  // namespace

std::shared_ptr<CheckoutVerification> CheckoutVerification::initWithCheckoutData(const CheckoutData& order) {
  auto checkout = std::make_shared<CheckoutVerification>();
  checkout->valid(order);
  return checkout;
}

void CheckoutVerification::valid(const CheckoutData& order) {
  checkoutData_ = order;
  answered_ = false;
  payScreenShown_ = false;
  waitingForReader_ = false;
  if (validateCheckoutData()) {
    httpRequest();
    return;
  }
  std::weak_ptr<NVXViewController> weak = weakSelf();
  showCheckoutAlert(Strings::localized("Error_Data"), Strings::localized("Ok"), [weak] {
    if (auto self = std::static_pointer_cast<CheckoutVerification>(weak.lock())) self->redirect(false);
  });
}

void CheckoutVerification::httpRequest() {
  if (request_) request_->cancelRequest();
  std::weak_ptr<NVXViewController> weak = weakSelf();
  request_ = AppSchedullerOperations::createBill(checkoutData_.billPairs(), false, [weak](PartnerAnswer<Json> answer) {
    auto self = std::static_pointer_cast<CheckoutVerification>(weak.lock());
    if (!self) return;
    self->request_.reset();
    if (answer.kind == FailureKind::Cancelled) return;
    if (answer.kind == FailureKind::SessionExpired) {
      // The re-login handling takes over.
      self->success_ = false;
      return;
    }
    if (!answer.ok()) {
      showCheckoutAlert(
          answer.message, Strings::localized("Cancel"),
          [weak] {
            if (auto s = std::static_pointer_cast<CheckoutVerification>(weak.lock())) s->redirect(false);
          },
          Strings::localized("Retry"),
          [weak] {
            if (auto s = std::static_pointer_cast<CheckoutVerification>(weak.lock())) s->httpRequest();
          });
      return;
    }
    self->billno_ = replyText(*answer.value, "billno").value_or("");
    self->cnSName_ = replyText(*answer.value, "cnSName").value_or("");
    self->success_ = true;
    if (self->validateLogin()) self->passGate(&CheckoutVerification::swiperView);
  });
}

bool CheckoutVerification::validateLogin() {
  if (User::currentUser().isLogined()) return true;
  auto login = LoginScreen::create();
  if (!login) return false;
  if (auto* configurable = dynamic_cast<LoginScreen*>(login.get())) {
    configurable->setBoxTitle(kLoginBoxTitle);
    configurable->setDelegate(std::weak_ptr<LoginViewControllerDelegate>(
        std::static_pointer_cast<CheckoutVerification>(self())));
  }
  if (auto navigation = AppServices::current().navigationController()) navigation->push(login, true);
  return false;
}

void CheckoutVerification::gotoViewOfBoxTitle(const std::string&) {
  passGate(success_ ? &CheckoutVerification::swiperView : &CheckoutVerification::httpRequest);
}

void CheckoutVerification::passGate(void (CheckoutVerification::*next)()) {
  waitingForReader_ = true;
  std::weak_ptr<NVXViewController> weak = weakSelf();
  CheckoutReaderGate::run(*this, [weak, next](bool ready) {
    auto self = std::static_pointer_cast<CheckoutVerification>(weak.lock());
    if (!self || !ready) return;
    self->waitingForReader_ = false;
    ((*self).*next)();
  });
}

void CheckoutVerification::swiperView() {
  std::weak_ptr<NVXViewController> weak = weakSelf();
  AppSchedullerOperations::queryBill(billno_, checkoutData_.amountYuan(), false, [weak](PartnerAnswer<Json> answer) {
    auto self = std::static_pointer_cast<CheckoutVerification>(weak.lock());
    if (!self) return;
    if (!answer.ok()) {
      if (answer.kind == FailureKind::SessionExpired) return;
      self->showErrorMessage(answer.message);
      // The merchant hears that this checkout has ended.
      self->redirect(false);
      return;
    }
    self->inquiry_ = TradeInquiryReturnData::initWithDic(*answer.value);
    self->initWithSwiper();
  });
}

void CheckoutVerification::initWithSwiper() {
  CheckoutPayScreen screen{SwipeViewController::kClassName, 14, cnSName_, billno_, inquiry_, std::nullopt};
  if (!screen.open(checkoutData_)) return;
  payScreenShown_ = true;
  leaveReaderEvents();
}

void CheckoutVerification::redirect(bool flag) {
  if (answered_) {
    platform::log::info(kTag, "the merchant has been answered for this order");
    return;
  }
  answered_ = true;
  waitingForReader_ = false;
  leaveReaderEvents();
  // Opened without asking first: a merchant app that is not installed simply is not opened.
  const std::string url = checkoutData_.redirectURL.value_or("") + (flag ? "://Completion" : "://Failed");
  platform::ui::Application::shared().openURL(url);
}

void CheckoutVerification::showErrorMessage(const std::string& text) {
  auto navigation = AppServices::current().navigationController();
  auto top = navigation ? navigation->topViewController() : nullptr;
  if (!top) return;
  auto hud = platform::ui::Hud::showOn(*top->view(), true);
  hud->setMode(platform::ui::Hud::Mode::Text);
  hud->setLabel(text);
  hud->setYOffset(-32);
  hud->hide(true, kPromptSeconds);
}

void CheckoutVerification::onDevicePlugged() {
  NVXViewController::onDevicePlugged();
  // Only an order that waits for its reader starts again; one whose pay screen is up, or whose
  // merchant has been answered, is left alone.
  if (waitingForReader_ && !payScreenShown_ && !answered_) valid(checkoutData_);
}

void CheckoutVerification::leaveReaderEvents() {
  auto hub = AppServices::current().swiper();
  if (hub && hub->checkoutDelegate().lock().get() == static_cast<reader::CSwiperControllerDelegate*>(this)) {
    hub->setCheckoutDelegate({});
  }
}

}  // namespace nvx
