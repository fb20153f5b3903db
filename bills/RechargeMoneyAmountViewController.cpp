#include "bills/RechargeMoneyAmountViewController.h"

#include "app/ui/ButtonCreater.h"
#include "bills/BillFormParts.h"
#include "bills/BillPayScreen.h"
#include "bills/BillsOperations.h"
#include "core/shell/AppServices.h"
#include "core/text/StringsTool.h"
#include "pay/PayMoney.h"
#include "pay/PayScreenSetup.h"
#include "pay/SwipeViewController.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::Font;
using platform::ui::Rect;

namespace {
constexpr double kSegmentWidth = 60;
constexpr double kRowPitch = 60;
constexpr double kFirstRowY = 100;
}  // namespace

void RechargeMoneyAmountViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("RechargeDenomination"));
  auto self = std::static_pointer_cast<RechargeMoneyAmountViewController>(shared_from_this());
  rechargeTableView_ = billform::formTable(self);

  messageLabel_ = platform::ui::Label::create(Rect{20, 60, 280, 30}, Strings::localized("MobileRechargeMessage2"));
  messageLabel_->setFont(Font::system(16));
  messageLabel_->setBackgroundColor(platform::ui::Color::clear());
  rechargeTableView_->addSubview(messageLabel_);
  moneyInfos_.clear();

  std::weak_ptr<RechargeMoneyAmountViewController> weak = self;
  nextButton_ = billform::nextButton(weak, &RechargeMoneyAmountViewController::theNextStep, *rechargeTableView_);
  nextButton_->setHidden(true);
  httpRequestGetCharge();
}

void RechargeMoneyAmountViewController::httpRequestGetCharge() {
  auto self = std::static_pointer_cast<RechargeMoneyAmountViewController>(shared_from_this());
  BillsOperations::getList("getRechargeAmount", {}, [self](BillReply<Json> reply) {
    if (reply.data) return self->answered(reply.data);
    if (!reply.prompt) return;   // an expired login: its handling took over
    self->showPrompt(*reply.prompt);
    // A failed exchange leaves the screen without amounts and without Next; a refusal shows Next,
    // which then asks for an amount.
    if (*reply.prompt != Strings::localized("NetworkConnectionFailed")) self->answered(Json::array());
  });
}

void RechargeMoneyAmountViewController::answered(const std::optional<Json>& list) {
  size_t position = 0;
  if (list) {
    for (const Json& e : *list) {
      if (!e.is_object()) continue;
      moneyInfos_.push_back(GameCardAmountParse::initWithDic(e));
      if (moneyInfos_.back().cardName == "100") position = moneyInfos_.size() - 1;
    }
  }
  layoutAmounts(position);
}

void RechargeMoneyAmountViewController::layoutAmounts(size_t defaultPosition) {
  for (const auto& row : amountRows_) row->removeFromSuperview();
  amountRows_.clear();
  std::weak_ptr<RechargeMoneyAmountViewController> weak =
      std::static_pointer_cast<RechargeMoneyAmountViewController>(shared_from_this());
  const size_t rows = (moneyInfos_.size() + kPerRow - 1) / kPerRow;
  for (size_t r = 0; r < rows; ++r) {
    std::vector<std::string> titles;
    for (size_t i = r * kPerRow; i < std::min(moneyInfos_.size(), (r + 1) * kPerRow); ++i) {
      titles.push_back(moneyInfos_[i].cardName.value_or(""));
    }
    const double width = kSegmentWidth * static_cast<double>(titles.size());
    const double x = rows == 1 ? (320 - width) / 2 : 10;
    auto control = platform::ui::SegmentedControl::create(Rect{x, kFirstRowY + kRowPitch * r, width, 44}, titles);
    control->setTag(static_cast<int>(r));
    control->addTarget(this, platform::ui::ControlEvent::ValueChanged, [weak](platform::ui::Control& c) {
      if (auto screen = weak.lock()) screen->moneyAmount(static_cast<platform::ui::SegmentedControl&>(c));
    });
    rechargeTableView_->addSubview(control);
    amountRows_.push_back(control);
  }
  if (!moneyInfos_.empty()) {
    auto& control = amountRows_[defaultPosition / kPerRow];
    control->setSelectedSegmentIndex(static_cast<int>(defaultPosition % kPerRow));
    moneyAmount(*control);
  }
  nextButton_->setCenter({160, 130 + kRowPitch * static_cast<double>(rows)});
  nextButton_->setHidden(false);
}

void RechargeMoneyAmountViewController::moneyAmount(platform::ui::SegmentedControl& control) {
  const int segment = control.selectedSegmentIndex();
  if (segment == platform::ui::SegmentedControl::kNoSegment) return;
  for (const auto& row : amountRows_) {
    if (row.get() != &control) row->setSelectedSegmentIndex(platform::ui::SegmentedControl::kNoSegment);
  }
  control.setSelected(true);
  const size_t position = static_cast<size_t>(control.tag()) * kPerRow + static_cast<size_t>(segment);
  if (position < moneyInfos_.size()) cardInfo_ = moneyInfos_[position];
}

void RechargeMoneyAmountViewController::theNextStep() {
  if (!cardInfo_) return showPrompt(Strings::localized("MobileRechargeMessage2"));
  if (AppServices::current().isOtherAppLaunching()) {
    std::weak_ptr<RechargeMoneyAmountViewController> weak =
        std::static_pointer_cast<RechargeMoneyAmountViewController>(shared_from_this());
    swiperValid([weak](bool ready) {
      if (!ready) return;
      if (auto screen = weak.lock()) screen->initPayViewControllerWithClass(SwipeViewController::kClassName);
    });
    return;
  }
  initPayViewControllerWithClass(PayScreenSetup::kMultPayClassName);
}

void RechargeMoneyAmountViewController::initPayViewControllerWithClass(const std::string& className) {
  if (!cardInfo_) return;
  // A denomination whose value is not an amount is never charged.
  auto fen = PayMoney::fenFromYuanText(cardInfo_->cardName.value_or(""));
  if (!fen || *fen <= 0 || !cardInfo_->cardCode) return showPrompt(Strings::localized("Error_Data"));
  using Row = TransactionInfoLabelSource;
  BillPayScreen pay;
  pay.className = className;
  pay.rows = {Row::sourceWithLeftValue(Strings::localized("MobileRechargeNumber"), StringsTool::handlePhoneNumber(phone_)),
              Row::sourceWithLeftValue(Strings::localized("RechargeDenomination"), cardInfo_->cardName),
              Row::sourceWithLeftValue(Strings::localized("PayCardAmount"), *fen, true)};
  pay.cardTexts("付款银行卡及密码", false);
  pay.businessType = 6;
  pay.transactionData = {{"K_TRANSACTION_TARGET", phone_}, {"K_TRANSACTION_AMOUNT", *cardInfo_->cardName}};
  pay.commit = {{"busid", "M20020"},
                {"termid", SessionValue::ReaderTerminal},
                {"mobile", SessionValue::LoginName},
                {"userToken", SessionValue::UserToken},
                {"mobileno", phone_},
                {"mobileno2", phone_},
                {"chgtype", *cardInfo_->cardCode},
                {"uid", SessionValue::Uid},
                {"vercode", SessionValue::Vercode}};
  pay.open(*this);
}

// --- table ---------------------------------------------------------------------------------------

int RechargeMoneyAmountViewController::numberOfRows(platform::ui::TableView&, int) { return 1; }

std::shared_ptr<platform::ui::TableViewCell> RechargeMoneyAmountViewController::cellForRow(platform::ui::TableView&,
                                                                                           platform::ui::IndexPath) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  auto label = platform::ui::Label::create(Rect{20, 8, 120, 30}, Strings::localized("MobileRechargeNumber"));
  label->setFont(Font::system(16));
  cell->contentView()->addSubview(label);
  auto number = platform::ui::Label::create(Rect{140, 8, 160, 30}, StringsTool::handlePhoneNumber(phone_));
  number->setFont(Font::system(16));
  cell->contentView()->addSubview(number);
  return cell;
}

std::optional<double> RechargeMoneyAmountViewController::heightForHeader(platform::ui::TableView&, int) { return 10.0; }

}  // namespace nvx
