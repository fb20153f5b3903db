#include "pay/ThirdPartyAppScheduller.h"

#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "platform/ui/Hud.h"

namespace nvx {

namespace {

using platform::Json;

// A progress indicator over the window with a text; nothing without a window.
std::shared_ptr<platform::ui::Hud> labelledSpinner(const std::string& label) {
  auto window = AppServices::current().window();
  if (!window) return nullptr;
  platform::ui::Hud::hideAll(*window, false);
  auto hud = platform::ui::Hud::showOn(*window, true);
  hud->setLabel(label);
  return hud;
}

}  // namespace

ThirdPartyAppScheduller::ThirdPartyAppScheduller() { sourceAppClientName_ = kCallerName; }

bool ThirdPartyAppScheduller::isAdapt() { return isAdaptScheme("callIdentifier=" + sourceAppIdentifier_); }

std::optional<AppScheduller::FuncNoClassMap> ThirdPartyAppScheduller::funcNoClassMap() const {
  return FuncNoClassMap{
      {"1", "CreditCardRepaymentViewController"},   {"2", "DYTransferRemittanceViewController"},
      {"3", "TransferRemittanceViewController"},    {"4", "BalanceSwiperViewController"},
      {"5", "MobileRechargeViewController"},        {"8", "GameCardRechargeViewController"},
      {"9", "TaobaoPaymentViewController"},         {"10", "BuyNuvexaViewController"},
      {"11", "CMBUnbinderViewController"},          {"12", "TradingQueryViewController"},
  };
}

std::string ThirdPartyAppScheduller::callbackMsgOf(const std::string& callbackUrl) {
  const size_t first = callbackUrl.find("://");
  if (first == std::string::npos) return {};
  const size_t from = first + 3;
  const size_t next = callbackUrl.find("://", from);
  return callbackUrl.substr(from, next == std::string::npos ? std::string::npos : next - from);
}

void ThirdPartyAppScheduller::scheduling() {
  AppScheduller::scheduling();
  auto pairs = callPairs(url_.value_or(""), false);
  auto message = pairs.find("message");
  msgEntity_ = message != pairs.end() ? TPMessageEntity::fromUrlValue(message->second) : TPMessageEntity{};
  std::weak_ptr<AppScheduller> weak = self();
  AppSchedullerOperations::paramsVerify(msgEntity_, [weak](PartnerAnswer<Json> answer) {
    auto handler = std::static_pointer_cast<ThirdPartyAppScheduller>(weak.lock());
    if (handler && handler->isCurrent()) handler->verified(std::move(answer));
  });
}

void ThirdPartyAppScheduller::verified(PartnerAnswer<Json> answer) {
  // Only the server's approval counts: a refused message (unsigned, tampered, replayed) runs
  // nothing, whatever data the refusal carries.
  if (!answer.ok()) {
    alertSchedullingRequestError(answer.message);
    return;
  }
  decryptEntity_ = TPVerifyDecryptEntity::fromJson(*answer.value);
  callbackMsg_ = callbackMsgOf(decryptEntity_->callbackUrl.value_or(""));
  freeLogin();
}

void ThirdPartyAppScheduller::freeLogin() {
  if (!decryptEntity_) return;
  std::weak_ptr<AppScheduller> weak = self();
  AppSchedullerOperations::userVerifyBind(
      decryptEntity_->phoneNumber.value_or(""), decryptEntity_->userId.value_or(""),
      [weak](PartnerAnswer<BindSearch> answer) {
        auto handler = std::static_pointer_cast<ThirdPartyAppScheduller>(weak.lock());
        if (handler && handler->isCurrent()) handler->bound(std::move(answer));
      });
}

void ThirdPartyAppScheduller::bound(PartnerAnswer<BindSearch> answer) {
  if (answer.ok()) {
    // The bound account is the one logged in: its own login name, the partner's phone number
    // only when the reply names none.
    const BindSearch& bind = *answer.value;
    const std::string loginName =
        bind.loginName && !bind.loginName->empty() ? *bind.loginName : decryptEntity_->phoneNumber.value_or("");
    User& user = User::currentUser();
    user.setUserId(bind.userId.value_or(""));
    user.setUserToken(bind.userToken.value_or(""));
    user.setLoginName(loginName);
    user.setPreLoginName(loginName);
    dispatchFunction(msgEntity_.funcNo.value_or(""));
    return;
  }
  if (answer.retCode == kNotBoundCode) {
    AppServices::current().showTextPrompt(kNotBoundPrompt);
    std::weak_ptr<AppScheduller> weak = self();
    pushLoginScreen(false, [weak] {
      if (auto handler = std::static_pointer_cast<ThirdPartyAppScheduller>(weak.lock())) handler->applyBind();
    });
    return;
  }
  if (answer.retCode == kNoUserCode) {
    // Nothing can be done for a user the service does not know: the bank hears of it at once.
    AppServices::current().showTextPrompt(kNoUserPrompt);
    callback();
    return;
  }
  alertSchedullingRequestError(answer.message);
}

void ThirdPartyAppScheduller::applyBind() {
  if (!decryptEntity_) return;
  auto hud = labelledSpinner(kBindingLabel);
  std::weak_ptr<AppScheduller> weak = self();
  AppSchedullerOperations::rediectRegiste(
      decryptEntity_->phoneNumber.value_or(""), decryptEntity_->userId.value_or(""),
      [weak, hud](PartnerAnswer<Json> answer) {
        if (hud) hud->hide(true);
        auto handler = std::static_pointer_cast<ThirdPartyAppScheduller>(weak.lock());
        if (!handler || !handler->isCurrent()) return;
        if (!answer.ok()) {
          handler->alertSchedullingRequestError(answer.message);
          return;
        }
        handler->dispatchFunction(handler->msgEntity_.funcNo.value_or(""));
      });
}

// --- the regional bank ----------------------------------------------------------------------------

DYAppScheduller::DYAppScheduller() {
  sourceAppIdentifier_ = kCallIdentifier;
  callAppScheme_ = kCallAppScheme;
  sourceAppClientName_ = kCallerName;
  beforeEnterBussinessViewController_ = [this](platform::ui::ViewController& screen) {
    const std::string name = screen.className();
    if (name != "DYTransferViewController" && name != "DYTransferRemittanceViewController") return;
    auto* partnerScreen = dynamic_cast<PartnerParamsScreen*>(&screen);
    if (partnerScreen && decryptEntity()) partnerScreen->setParamsEntity(*decryptEntity());
  };
}

std::optional<AppScheduller::FuncNoClassMap> DYAppScheduller::funcNoClassMap() const {
  auto table = ThirdPartyAppScheduller::funcNoClassMap();
  (*table)["2"] = "DYTransferRemittanceViewController";
  (*table)["3"] = "DYTransferViewController";
  return table;
}

}  // namespace nvx
