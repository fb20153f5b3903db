#include "pay/WalletManager.h"

#include "app/ui/HudExt.h"
#include "core/session/User.h"
#include "core/text/MoneyFormat.h"
#include "pay/PayMoney.h"
#include "platform/ui/Button.h"
#include "platform/ui/Color.h"
#include "platform/ui/Label.h"

namespace nvx {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

namespace {

const Color kGrey = Color::rgb255(128, 128, 128);
const Color kBlue = Color::rgb255(0, 0, 255);
const Color kOrange = Color::rgb255(255, 128, 0);

std::shared_ptr<platform::ui::Label> label(Rect frame, std::string text, double size, Color colour) {
  auto l = platform::ui::Label::create(frame, std::move(text));
  l->setFont(Font::system(size));
  l->setTextColor(colour);
  l->setBackgroundColor(Color::clear());
  return l;
}

// Money shown in the wallet rows (display only: the fen amount is exact in a double).
std::string money(int64_t fen) { return text::formatCNMoney(static_cast<double>(fen) / 100.0); }

}  // namespace

WalletManager::WalletManager(std::shared_ptr<MultiPayOperations> operations) : operations_(std::move(operations)) {}

std::shared_ptr<WalletManager> WalletManager::create(std::shared_ptr<MultiPayOperations> operations) {
  return std::shared_ptr<WalletManager>(new WalletManager(std::move(operations)));
}

void WalletManager::queryPayInfosWithBusid(const std::string& busid, const std::string& lpmercd) {
  std::weak_ptr<WalletManager> weak = weak_from_this();
  operations_->queryPayTypeWithBusid(busid, lpmercd, [weak, lpmercd](WalletAnswer<std::vector<PaySupportTypeEntity>> answer) {
    auto self = weak.lock();
    if (!self) return;
    if (!answer.value || answer.value->empty()) {
      const bool dataError = answer.dataError || (answer.value && answer.value->empty());
      HudExt::prompt(dataError || answer.message.empty() ? kPayTypeFailed : answer.message);
      if (auto d = self->delegate()) d->onQueryPayInfosFailed();
      return;
    }
    self->supportedPayType_ = answer.value->front();
    if (self->isSwipePayOnly()) {
      if (auto d = self->delegate()) d->onOnlySwipePay();
      return;
    }
    self->queryWalletInfos(lpmercd);
  });
}

void WalletManager::queryWalletInfos(const std::string& lpmercd) {
  giftReqType_ = lpmercd;
  std::weak_ptr<WalletManager> weak = weak_from_this();
  operations_->getGifMessageType(lpmercd, [weak](WalletAnswer<RedPagerEntity> answer) {
    auto self = weak.lock();
    if (!self) return;
    if (!answer.value) {
      HudExt::prompt(answer.message);
      self->isNetErr_ = true;
      if (auto d = self->delegate()) d->onQueryWalletInfosCompleted();
      return;
    }
    self->redPacketEntity_ = std::move(answer.value);
    self->hasRedPackets_ = self->redPacketEntity_->giftCount() >= 1 && self->supportedPayType_.giftPay;
    self->updateCurrentUserWalletInfos();
  });
}

void WalletManager::updateCurrentUserWalletInfos() {
  isShowInitAmount_ = false;
  std::weak_ptr<WalletManager> weak = weak_from_this();
  operations_->getWalletInfoIsNeedMPBHOD([weak](WalletAnswer<WalletInfo> answer) {
    auto self = weak.lock();
    if (!self) return;
    if (!answer.value) {
      HudExt::prompt(answer.message);
      self->isNetErr_ = true;
    } else {
      User& user = User::currentUser();
      user.setAmount(PayMoney::yuanFromFen(answer.value->amountFen));
      user.setTamount(PayMoney::yuanFromFen(answer.value->tamountFen));
      self->isShowInitAmount_ = true;
      self->isNetErr_ = false;
    }
    if (auto d = self->delegate()) d->onQueryWalletInfosCompleted();
  });
}

void WalletManager::refreshNetStatus() { queryWalletInfos(giftReqType_); }

void WalletManager::walletCharge() {
  if (auto d = delegate()) d->onWalletRecharge();
}

bool WalletManager::isPayPwd() const { return User::currentUser().hasPwd(); }

bool WalletManager::isShowWalletPassword() const {
  const User& user = User::currentUser();
  return user.hasPwd() && user.isAsk();
}

bool WalletManager::isLowLimit() const {
  const User& user = User::currentUser();
  return user.hasPwd() && !user.isAsk();
}

std::string WalletManager::giftIds() const {
  std::string joined;
  for (size_t i = 0; i < selectedGiftIdArray_.size(); ++i) {
    if (i) joined += "|";
    joined += selectedGiftIdArray_[i];
  }
  return joined;
}

int64_t WalletManager::usableBalanceFen() const {
  const User& user = User::currentUser();
  return PayMoney::fenFromYuanText(isValidTransferAmount_ ? user.tamount() : user.amount()).value_or(0);
}

bool WalletManager::isWalletPayOk(int64_t amountFen) const {
  return amountFen <= usableBalanceFen() + selectedRedPacketsAmount_;
}

std::shared_ptr<platform::ui::View> WalletManager::walletStatusView() {
  if (isNetErr_) {
    auto box = platform::ui::View::create(Rect{45, 0, 280, 40});
    box->addSubview(label(Rect{20, 0, 260, 40}, "   网络通讯异常，请         ！", 13, kGrey));
    auto refresh = platform::ui::Button::create(Rect{125, 0, 60, 40});
    refresh->setTitle("刷新");
    refresh->setTitleColor(kBlue);
    std::weak_ptr<WalletManager> weak = weak_from_this();
    refresh->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
      if (auto self = weak.lock()) self->refreshNetStatus();
    });
    box->addSubview(refresh);
    return box;
  }
  if (!isPayPwd()) return label(Rect{45, 0, 280, 40}, "   为了保障交易安全，请在密码管理中设置支付密码", 13, kGrey);
  if (isLowLimit()) return label(Rect{45, 0, 280, 40}, "   您已开启免输密码支付功能，可在密码管理中关闭", 13, kGrey);
  return nullptr;
}

std::shared_ptr<platform::ui::View> WalletManager::redPacketChooseView() const {
  auto box = platform::ui::View::create(Rect{35, 0, 280, 40});
  if (selectedGiftIdArray_.empty()) {
    const int count = redPacketEntity_ ? redPacketEntity_->giftCount() : 0;
    box->addSubview(label(Rect{0, 0, 280, 40}, std::to_string(count) + "张可用红包，使用红包支付", 14, kGrey));
  } else {
    box->addSubview(label(Rect{0, 0, 280, 40}, "使用" + std::to_string(selectedGiftIdArray_.size()) + "张红包，抵现金",
                          14, kGrey));
    box->addSubview(label(Rect{140, 0, 100, 40}, money(selectedRedPacketsAmount_), 14, kOrange));
  }
  return box;
}

std::shared_ptr<platform::ui::View> WalletManager::walletPayViewWithPayAmount(int64_t amountFen) {
  auto box = platform::ui::View::create(Rect{30, 0, 280, 60});
  box->addSubview(label(Rect{5, 5, 65, 30}, "余额支付", 16, kGrey));
  const int64_t fromBalance = std::max<int64_t>(0, amountFen - selectedRedPacketsAmount_);
  box->addSubview(label(Rect{75, 5, 100, 30}, money(fromBalance), 16, kOrange));
  std::string line = isValidTransferAmount_ ? "钱包可用汇款余额 " : "钱包可用余额 ";
  if (isShowInitAmount_) line += money(usableBalanceFen());
  auto balance = label(Rect{-15, 35, 300, 30}, line, 14, kGrey);
  balance->setTextAlignment(platform::ui::TextAlignment::Center);
  box->addSubview(balance);
  if (usableBalanceFen() < amountFen) {
    auto charge = platform::ui::Button::create(Rect{210, 25, 45, 20});
    charge->setTitle("充值");
    charge->setTitleColor(kBlue);
    std::weak_ptr<WalletManager> weak = weak_from_this();
    charge->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
      if (auto self = weak.lock()) self->walletCharge();
    });
    box->addSubview(charge);
  }
  return box;
}

}  // namespace nvx
