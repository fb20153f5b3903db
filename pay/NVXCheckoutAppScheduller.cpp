#include "pay/NVXCheckoutAppScheduller.h"

#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "pay/MultiPayOperations.h"
#include "pay/PayScreenSetup.h"
#include "pay/SwipeViewController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Application.h"
#include "platform/ui/Hud.h"

namespace nvx {

namespace {

using platform::Json;
using platform::Strings;

constexpr std::string_view kTag = "NVXCheckoutAppScheduller";

std::shared_ptr<NVXCheckoutAppScheduller> servedCheckout() {
  auto handler = std::dynamic_pointer_cast<NVXCheckoutAppScheduller>(AppScheduller::sharedAppScheduller());
  return handler && handler->isOtherAppLaunching() ? handler : nullptr;
}

}  // namespace

// --- the handler ------------------------------------------------------------------------------------

std::string NVXCheckoutAppScheduller::returnUrlOf(const std::string& redirectURL, bool failed) {
  return redirectURL + "://" + (failed ? "Failed" : "Completion");
}

bool NVXCheckoutAppScheduller::answerServedCheckout(bool success) {
  auto handler = servedCheckout();
  if (!handler) return false;
  handler->setIsFailed(!success);
  handler->callback();
  return true;
}

bool NVXCheckoutAppScheduller::isAdapt() {
  // Split first, then decode each key and value: an escaped "&" or "=" stays inside its value.
  auto pairs = callPairs(trimUrlWithSpecailCharset("nvx://"), true);
  auto identifier = pairs.find("callIdentifier");
  if (identifier == pairs.end() || identifier->second != kCallIdentifier) return false;
  checkoutBean_ = CheckoutBean::fromPairs(pairs);
  if (validateCheckoutData()) return true;
  isFailed_ = true;
  std::weak_ptr<AppScheduller> weak = self();
  showCheckoutAlert(Strings::localized("Error_Data"), Strings::localized("Ok"), [weak] {
    auto handler = std::static_pointer_cast<NVXCheckoutAppScheduller>(weak.lock());
    if (!handler || !handler->isCurrent()) return;
    handler->setIsFailed(true);
    handler->callback();
  });
  return false;
}

void NVXCheckoutAppScheduller::scheduling() {
  AppScheduller::scheduling();
  // Nothing is paid until the result page of a successful payment says so.
  isFailed_ = true;
  if (User::currentUser().isLogined()) {
    createBill();
    return;
  }
  std::weak_ptr<AppScheduller> weak = self();
  pushLoginScreen(true, [weak] {
    if (auto handler = std::static_pointer_cast<NVXCheckoutAppScheduller>(weak.lock())) handler->createBill();
  });
}

void NVXCheckoutAppScheduller::createBill() {
  if (!checkoutBean_) return;
  if (billRequest_) billRequest_->cancelRequest();
  std::weak_ptr<AppScheduller> weak = self();
  billRequest_ = AppSchedullerOperations::createBill(
      checkoutBean_->checkoutBillPairs(), true, [weak](PartnerAnswer<Json> answer) {
        auto handler = std::static_pointer_cast<NVXCheckoutAppScheduller>(weak.lock());
        if (!handler || !handler->isCurrent()) return;
        handler->billRequest_.reset();
        if (answer.ok()) {
          handler->checkoutCtrl_ = NVXCheckoutViewController::create(
              *handler->checkoutBean_, replyText(*answer.value, "billno").value_or(""),
              replyText(*answer.value, "cnSName").value_or(""));
          handler->checkoutCtrl_->theNextStep();
          return;
        }
        if (answer.kind == FailureKind::SessionExpired || answer.kind == FailureKind::Cancelled) return;
        showCheckoutAlert(
            answer.message, Strings::localized("Cancel"),
            [weak] {
              auto h = std::static_pointer_cast<NVXCheckoutAppScheduller>(weak.lock());
              if (!h || !h->isCurrent()) return;
              h->setIsFailed(true);
              h->callback();
            },
            Strings::localized("Retry"),
            [weak] {
              auto h = std::static_pointer_cast<NVXCheckoutAppScheduller>(weak.lock());
              if (h && h->isCurrent()) h->createBill();
            });
      });
}

bool NVXCheckoutAppScheduller::callback() {
  if (!beginAnswer()) return false;
  popHome(true);
  const std::string url = returnUrlOf(checkoutBean_ ? checkoutBean_->redirectURL.value_or("") : "", isFailed_);
  auto& app = platform::ui::Application::shared();
  if (app.canOpenURL(url) && app.openURL(url)) return true;
  platform::log::info(kTag, "the merchant's app cannot be opened");
  return false;
}

// --- the coordinator -----------------------------------------------------------------------------------

std::shared_ptr<NVXCheckoutViewController> NVXCheckoutViewController::create(CheckoutBean bean, std::string billno,
                                                                             std::string cnSName) {
  auto ctrl = std::make_shared<NVXCheckoutViewController>();
  ctrl->checkoutBean_ = std::move(bean);
  ctrl->billno_ = std::move(billno);
  ctrl->cnSName_ = std::move(cnSName);
  return ctrl;
}

void NVXCheckoutViewController::walletPayValid(std::function<void(bool)> answer) {
  MultiPayOperations::mainApi()->queryPayTypeWithBusid(
      "M20013", checkoutBean_.lpmercd.value_or(""),
      [answer = std::move(answer)](WalletAnswer<std::vector<PaySupportTypeEntity>> reply) {
        if (!reply.value || reply.value->empty()) {
          if (!reply.message.empty()) AppServices::current().showTextPrompt(reply.message);
          answer(false);
          return;
        }
        const PaySupportTypeEntity& first = reply.value->front();
        answer(first.balancePay || first.giftPay);
      });
}

void NVXCheckoutViewController::theNextStep() {
  std::weak_ptr<NVXViewController> weak = weakSelf();
  walletPayValid([weak](bool wallet) {
    auto self = std::static_pointer_cast<NVXCheckoutViewController>(weak.lock());
    if (!self) return;
    if (wallet) {
      self->swiperViewWithClass(PayScreenSetup::kMultPayClassName);
      return;
    }
    CheckoutReaderGate::run(*self, [weak](bool ready) {
      auto s = std::static_pointer_cast<NVXCheckoutViewController>(weak.lock());
      if (s && ready) s->swiperViewWithClass(SwipeViewController::kClassName);
    });
  });
}

void NVXCheckoutViewController::swiperViewWithClass(const std::string& payScreenClass) {
  const bool wallet = payScreenClass == PayScreenSetup::kMultPayClassName;
  std::shared_ptr<platform::ui::Hud> hud;
  if (auto window = AppServices::current().window()) {
    hud = platform::ui::Hud::showOn(*window, true);
    hud->setLabel(kInquiryLabel);
  }
  std::weak_ptr<NVXViewController> weak = weakSelf();
  AppSchedullerOperations::queryBill(
      billno_, checkoutBean_.amountYuan(), wallet, [weak, hud, payScreenClass](PartnerAnswer<Json> answer) {
        if (hud) hud->hide(true);
        auto self = std::static_pointer_cast<NVXCheckoutViewController>(weak.lock());
        if (!self) return;
        if (!answer.ok()) {
          if (answer.kind == FailureKind::SessionExpired) return;
          AppServices::current().showTextPrompt(answer.message);
          // The merchant hears that this checkout has ended.
          self->redirect(false);
          return;
        }
        self->inquiry_ = TradeInquiryReturnData::initWithDic(*answer.value);
        self->initWithSwiperWithClass(payScreenClass);
      });
}

void NVXCheckoutViewController::initWithSwiperWithClass(const std::string& payScreenClass) {
  const bool wallet = payScreenClass == PayScreenSetup::kMultPayClassName;
  CheckoutPayScreen screen{payScreenClass, wallet ? 35 : 14, cnSName_, billno_, inquiry_, checkoutBean_.lpmercd};
  screen.open(checkoutBean_);
}

void NVXCheckoutViewController::redirect(bool flag) {
  if (!NVXCheckoutAppScheduller::answerServedCheckout(flag)) {
    platform::log::info(kTag, "no checkout is served to answer");
  }
}

}  // namespace nvx
