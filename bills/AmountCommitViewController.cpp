#include "bills/AmountCommitViewController.h"

#include "app/ui/ButtonCreater.h"
#include "app/ui/NVXSafeKeyboardView.h"
#include "app/ui/ViewTool.h"
#include "bills/BillFormParts.h"
#include "bills/UtilityHandOver.h"
#include "bills/UtilityOperations.h"
#include "pay/PayMoney.h"
#include "platform/device/Device.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::Font;
using platform::ui::Rect;

std::shared_ptr<AmountCommitViewController> AmountCommitViewController::initwithForm(Json form, UtilityItems inputForm) {
  auto screen = std::make_shared<AmountCommitViewController>();
  screen->payForm_ = std::move(form);
  screen->inputForm_ = std::move(inputForm);
  return screen;
}

int64_t AmountCommitViewController::priceFen() const {
  return PayMoney::fenFromWire(payForm_.contains("price") ? payForm_["price"] : Json()).value_or(0);
}

void AmountCommitViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("PSPaymentInfo"));
  const auto& screen = platform::Device::screen().bounds;
  table_ = ViewTool::myGroupedTableViewWithFrame(Rect{0, 0, screen.width, screen.height - kBarsHeight});
  auto self = std::static_pointer_cast<AmountCommitViewController>(shared_from_this());
  table_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  table_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  table_->setTouchUpInsideDelegate(std::weak_ptr<CustomTableViewDelegate>(self));
  view()->addSubview(table_);

  amountField_ = GHTextField::create(Rect{100, 7, 190, 30});
  amountField_->setFont(Font::system(16));
  amountField_->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  amountField_->setKeyboardType(platform::ui::KeyboardType::DecimalPad);
  amountField_->setInputType(GHTextField::kInputAmount);
  const UtilityFormItem* item = amountItem();
  const std::string hint = item ? item->str("hint") : "";
  amountField_->setPlaceHolder(hint.empty() ? Strings::localized("PleaseInputAmount") : hint);
  if (auto length = item ? item->limit("maxLength") : std::nullopt) amountField_->setMaxLength(static_cast<int>(*length));
  amountField_->internalTextField()->setInputAccessoryView(nullptr);
  NVXSafeKeyboardView::numberPadWithInputField(amountField_->internalTextField(), NVXSafeKeyboardView::kAmountStyle);
  std::weak_ptr<AmountCommitViewController> weak = self;
  amountField_->setAction([weak](GHTextField& field, int event) {
    auto screen = weak.lock();
    if (!screen) return;
    if (event == GHTextField::kEventWillBeginEditing) screen->table_->setContentOffset({0, 20});
    if (event == GHTextField::kEventWillEndEditing) screen->table_->setContentOffset({0, 0});
    if (event == GHTextField::kEventTextChanged) screen->payForm_["amount"] = field.text();
  });
  table_->reloadData();
}

int AmountCommitViewController::numberOfRows(platform::ui::TableView&, int section) { return section == 0 ? 3 : 1; }

std::shared_ptr<platform::ui::TableViewCell> AmountCommitViewController::cellForRow(platform::ui::TableView&,
                                                                                    platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  if (path.section == 1) {
    std::weak_ptr<AmountCommitViewController> weak =
        std::static_pointer_cast<AmountCommitViewController>(shared_from_this());
    auto next = billform::nextButton(weak, &AmountCommitViewController::theNextStep, *cell->contentView());
    next->setCenter({150, 22});
    return cell;
  }
  std::string label;
  std::shared_ptr<GHTextField> field;
  if (path.row == 2) {
    label = Strings::localized("PSPayAmount");
    field = amountField_;
  } else {
    field = GHTextField::create(Rect{100, 7, 190, 30});
    field->setFont(Font::system(16));
    field->setUserInteractionEnabled(false);
    if (path.row == 0) {
      label = Strings::localized("PSBillNo");
      field->setText(formText(payForm_, "billno").value_or(""));
    } else {
      label = Strings::localized(formText(payForm_, "yeorqf") == "+" ? "Balance" : "ArrearsAmount");
      field->setText(PayMoney::yuanFromFen(priceFen()));
    }
  }
  auto title = billform::rowLabel(Rect{15, 7, 80, 30}, label);
  cell->contentView()->addSubview(title);
  cell->contentView()->addSubview(field);
  return cell;
}

void AmountCommitViewController::didSelectRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  if (path.section == 1) theNextStep();
}

void AmountCommitViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  platform::NotificationCenter::shared().post(GHTextField::kResignFirstResponderNotification);
}

void AmountCommitViewController::theNextStep() { initSwipeViewController(); }

void AmountCommitViewController::initSwipeViewController() {
  if (auto prompt = checkAmountStep(payForm_, amountItem())) return showPrompt(*prompt, kPromptSeconds);
  const std::string typed = formText(payForm_, "amount").value_or("");
  const auto fen = DecimalText::parse(typed)->fen();
  UtilityHandOver handOver;
  handOver.form = &payForm_;
  handOver.serviceType = serviceType_;
  handOver.priceFen = priceFen();
  handOver.payFen = *fen;
  handOver.doneTitleKey = "OkPayment";
  handOver.commit = UtilityOperations::commitFields(payForm_, typed, true);
  BillPayScreen pay = handOver.payScreen();
  pay.transactionData["K_TRANSACTION_AMOUNT"] = typed;
  pay.open(*this);
}

}  // namespace nvx
