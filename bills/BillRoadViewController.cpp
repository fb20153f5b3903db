#include "bills/BillRoadViewController.h"

#include "pay/PayMoney.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Font.h"

namespace nvx {

using platform::ui::Font;
using platform::ui::Rect;

std::string BillRoadViewController::localized(const char* key) { return platform::Strings::localized(key); }

void BillRoadViewController::viewDidLoad() {
  const Texts t = texts();
  setPaymentNumberLabelTitle(localized(t.numberLabel));
  setPaymentNumberPlaceholder(localized(t.numberPlaceholder));
  setPayMoneysLabelTitle(localized(t.moneyLabel));
  setPayMoneysPlaceholder(localized(t.moneyPlaceholder));
  setIsNeedPhoneNumber(t.isNeedPhoneNumber);
  setIsOptionalOfPhoneField(t.isOptionalOfPhoneField);
  setDefaultPhoneNumber(true);
  PaymentBaseViewController::viewDidLoad();
  setTitle(localized(t.title));
  if (t.introduction) {
    introductionLabel_ = lableFrame(Rect{10, 280, 300, 40}, localized(t.introduction), 14);
    introductionLabel_->setTextAlignment(platform::ui::TextAlignment::Center);
    paymentTableView()->addSubview(introductionLabel_);
  }
}

std::shared_ptr<platform::ui::View> BillRoadViewController::viewForHeader(platform::ui::TableView&, int section) {
  const Texts t = texts();
  const char* key = section == 0 ? t.header0 : section == 1 ? t.header1 : nullptr;
  if (!key) return nullptr;
  auto header = platform::ui::View::create(Rect{0, 0, 320, 40});
  auto label = lableFrame(Rect{20, 5, 290, 30}, localized(key), 16);
  header->addSubview(label);
  return header;
}

std::optional<int64_t> BillRoadViewController::amountFen() const { return PayMoney::fenFromYuanText(payMoneys()); }

bool BillRoadViewController::amountIsPositive() const {
  auto fen = amountFen();
  return fen && *fen > 0;
}

void BillRoadViewController::theNextStep() {
  PaymentBaseViewController::theNextStep();
  if (inquiry_.isRunning()) return;
  if (auto key = checkForm()) {
    showPrompt(localized(key->c_str()));
    return;
  }
  std::weak_ptr<BillRoadViewController> weak =
      std::static_pointer_cast<BillRoadViewController>(shared_from_this());
  swiperValid([weak](bool ready) {
    if (!ready) return;
    if (auto form = weak.lock()) form->queryTrans();
  });
}

void BillRoadViewController::queryTrans() {
  auto self = std::static_pointer_cast<BillRoadViewController>(shared_from_this());
  inquiry_.send(*this, inquiryFields(), [self](const platform::Json& data) {
    self->inquiryReplied(data);
    self->inquiryData_ = TradeInquiryReturnData::initWithDic(data);
    self->initSwipeViewController();
  });
}

void BillRoadViewController::initSwipeViewController() {
  if (!inquiryData_) return;
  payScreen().open(*this);
}

}  // namespace nvx
