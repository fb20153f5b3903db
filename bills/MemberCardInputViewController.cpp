#include "bills/MemberCardInputViewController.h"

#include "app/ui/NVXSafeKeyboardView.h"
#include "app/ui/TextFieldExt.h"
#include "bills/BillFormParts.h"
#include "bills/SwipeVariantOperations.h"
#include "bills/TradeDetailViewController.h"
#include "core/session/User.h"
#include "pay/PinBlock.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Text16.h"
#include "platform/ui/Color.h"
#include "platform/ui/Hud.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;
using PointsReply = SwipeVariantOperations::PointsReply;

namespace {

std::shared_ptr<platform::ui::TableViewCell> formCell(const std::string& label, double labelWidth,
                                                      const std::shared_ptr<platform::ui::View>& field) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setBackgroundColor(platform::ui::Color::white());
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  cell->contentView()->addSubview(billform::rowLabel(Rect{10, 0, labelWidth, 44}, label));
  if (field) cell->contentView()->addSubview(field);
  return cell;
}

std::string withoutBlanks(std::string text) {
  std::erase(text, ' ');
  return text;
}

}  // namespace

MemberCardInputViewController::MemberCardInputViewController() {
  customizeSwipeViewWithNavTitle(Strings::localized("MemberCard"), "付款会员卡", " 请刷积分卡", "请输入积分卡密码", std::nullopt,
                                 Strings::localized("Next"), kBusinessType);
}

std::shared_ptr<MemberCardInputViewController> MemberCardInputViewController::create() {
  return std::make_shared<MemberCardInputViewController>();
}

// --- life cycle ----------------------------------------------------------------------------------

void MemberCardInputViewController::viewWillAppear(bool animated) {
  SwipeViewController::viewWillAppear(animated);
  if (isViewLoaded()) clearInfo();
}

void MemberCardInputViewController::viewDidLoad() {
  // The fields first: the swipe screen's table asks for every row as it loads.
  buildFields();
  SwipeViewController::viewDidLoad();
  setTitle(Strings::localized("MemberCard"));
  tableView_->reloadData();
}

void MemberCardInputViewController::buildFields() {
  auto self = selfForm();
  auto delegate = std::weak_ptr<platform::ui::TextFieldDelegate>(
      std::static_pointer_cast<platform::ui::TextFieldDelegate>(self));
  auto make = [&](int type, const char* placeholder) {
    auto field = TextFieldExt::groupCellTextFieldWithType(type, placeholder);
    field->setDelegate(delegate);
    return field;
  };
  auto securePad = [&](const std::shared_ptr<platform::ui::TextField>& field, int style) {
    keypads_.push_back(NVXSafeKeyboardView::numberPadWithInputField(field, style));
    field->setInputAccessoryView(nullptr);
  };
  accountTf_ = make(TextFieldType::CardNumber, "请输入归集账号");
  securePad(accountTf_, NVXSafeKeyboardView::kCardNumberStyle);
  reputAccountTf_ = make(TextFieldType::CardNumber, "再次输入归集账号");
  securePad(reputAccountTf_, NVXSafeKeyboardView::kCardNumberStyle);
  accountNameTf_ = make(TextFieldType::RequiredText, "请输入账户姓名");
  chargeMoneyTf_ = make(TextFieldType::Amount, "请输入数量");
  securePad(chargeMoneyTf_, NVXSafeKeyboardView::kAmountStyle);
  smsPhoneTf_ = make(TextFieldType::MobileNoClear, "MobileNumber");

  smsSwitch_ = platform::ui::Switch::create(Rect{0, 0, 79, 27});
  std::weak_ptr<MemberCardInputViewController> weak = self;
  smsSwitch_->addTarget(this, platform::ui::ControlEvent::ValueChanged, [weak](platform::ui::Control& control) {
    auto s = weak.lock();
    if (!s) return;
    s->setNoticeSMS(static_cast<platform::ui::Switch&>(control).isOn());
  });
}

void MemberCardInputViewController::setNoticeSMS(bool on) {
  isNoticeSMS_ = on;
  if (smsSwitch_ && smsSwitch_->isOn() != on) smsSwitch_->setOn(on);
  if (tableView_) tableView_->reloadData();
}

// --- table ---------------------------------------------------------------------------------------

std::optional<int> MemberCardInputViewController::numberOfSections(platform::ui::TableView&) { return 4; }

int MemberCardInputViewController::numberOfRows(platform::ui::TableView&, int section) {
  switch (section) {
    case 0: return 3;
    case 1: return 1;
    case 2: return 2;
    default: return isNoticeSMS_ ? 2 : 1;
  }
}

std::shared_ptr<platform::ui::TableViewCell> MemberCardInputViewController::cellForRow(platform::ui::TableView& table,
                                                                                       platform::ui::IndexPath path) {
  switch (path.section) {
    case 0:
      if (path.row == 0) return formCell("归集账号", 100, accountTf_);
      if (path.row == 1) return formCell("归集账号", 100, reputAccountTf_);
      return formCell("账户姓名", 100, accountNameTf_);
    case 1:
      return formCell("归集数量", 100, chargeMoneyTf_);
    case 2:
      return SwipeViewController::cellForRow(table, {0, path.row});
    default:
      break;
  }
  if (path.row == 0) {
    auto cell = formCell("免费短信通知", 200, nullptr);
    cell->setAccessoryView(smsSwitch_);
    return cell;
  }
  auto cell = formCell(Strings::localized("MobileNumber"), 100, smsPhoneTf_);
  cell->setAccessoryView(billform::addressBookButton(*this));
  return cell;
}

// --- fields --------------------------------------------------------------------------------------

std::optional<bool> MemberCardInputViewController::shouldBeginEditing(platform::ui::TextField& field) {
  double offset = 0;
  if (&field == reputAccountTf_.get()) offset = 40;
  else if (&field == accountNameTf_.get()) offset = 90;
  else if (&field == chargeMoneyTf_.get()) offset = 140;
  else if (&field == passwordTextField_.get()) offset = 200;
  else if (&field == smsPhoneTf_.get()) offset = 280;
  if (tableView_) tableView_->setContentOffset({0, offset}, true);
  if (&field != passwordTextField_.get()) TextFieldExt::textFieldShouldBeginEditing(field);
  return true;
}

void MemberCardInputViewController::didEndEditing(platform::ui::TextField& field) {
  if (&field == passwordTextField_.get()) {
    pwd_ = field.text();
    return;
  }
  std::string value = TextFieldExt::textFieldDidEndEditing(field);
  if (&field == accountTf_.get()) account_ = std::move(value);
  else if (&field == accountNameTf_.get()) accountName_ = std::move(value);
  else if (&field == chargeMoneyTf_.get()) chargeMoney_ = std::move(value);
  else if (&field == smsPhoneTf_.get()) smsPhone_ = std::move(value);
  // The repetition is read at Done.
}

std::optional<bool> MemberCardInputViewController::shouldReturn(platform::ui::TextField&) {
  closeFields();
  if (tableView_) tableView_->setContentOffset({0, 0}, true);
  return true;
}

std::optional<bool> MemberCardInputViewController::shouldChangeCharacters(platform::ui::TextField& field,
                                                                          platform::Range16 range,
                                                                          const std::string& replacement) {
  // The PIN keeps the swipe screen's six-digit rule.
  if (&field == passwordTextField_.get()) return swipe::pinFieldMayChange(field);
  return TextFieldExt::shouldChangeCharactersInRange(field, range, replacement);
}

void MemberCardInputViewController::closeFields() {
  for (const auto& field : {accountTf_, reputAccountTf_, accountNameTf_, chargeMoneyTf_, passwordTextField_, smsPhoneTf_}) {
    if (field) field->resignFirstResponder();
  }
}

void MemberCardInputViewController::touchUpInsideEndedCustomTableView(CustomTableView&) { closeFields(); }

void MemberCardInputViewController::getPhoneNumberSuccess(const std::string& phoneNumber) {
  smsPhone_ = phoneNumber;
  smsPhoneTf_->setText(phoneNumber);
  didEndEditing(*smsPhoneTf_);
}

// --- Done, inquiry -------------------------------------------------------------------------------

std::optional<std::string> MemberCardInputViewController::formError() {
  if (account_.empty()) return Strings::localized("Error_BeneficiaryAccount3");
  const std::string again = TextFieldExt::realText(*reputAccountTf_);
  if (again.empty() || again != account_) return Strings::localized("Error_BeneficiaryAccount4");
  const std::string name = withoutBlanks(accountName_);
  if (name.empty()) return Strings::localized("Error_TrueName");
  if (platform::u16len(name) > kMaxNameLength) return Strings::localized("Error_NameLength");
  if (TextFieldExt::isNotValid(*chargeMoneyTf_)) return Strings::localized("Error_TransferAmountRule1");
  if (isNoticeSMS_ && TextFieldExt::isNotValid(*smsPhoneTf_)) return Strings::localized("Error_EnterMobileNumber");
  return std::nullopt;
}

void MemberCardInputViewController::doneButtonPressed() {
  if (inquiryRunning_) return;
  // Closing the fields stores what is being typed.
  closeFields();
  if (auto error = formError()) {
    showPrompt(*error);
    return;
  }
  SwipeViewController::doneButtonPressed();
}

void MemberCardInputViewController::submit() {
  if (inquiryRunning_) return;
  if (!PinBlock::readerPik(User::currentUser())) {
    wantToDisappear_ = true;
    showReaderAlert();
    return;
  }
  next();
}

void MemberCardInputViewController::next() {
  if (inquiryRunning_) return;
  auto card = cardFields();
  if (!card) {
    wantToDisappear_ = true;
    showReaderAlert();
    return;
  }
  SwipeVariantOperations::PointsForm form{isNoticeSMS_, smsPhone_, account_, accountName_, chargeMoney_, *card};
  auto request = SwipeVariantOperations::pointsInquiry(form);
  postDatas_ = SwipeVariantOperations::fieldsOf(request);
  inquiryRunning_ = true;
  auto self = selfForm();
  request.spinner().start([self](ServerReply reply) {
    self->inquiryRunning_ = false;
    PointsReply read = SwipeVariantOperations::readPointsReply(reply, false);
    switch (read.kind) {
      case PointsReply::Kind::Data: {
        auto detail = TradeDetailViewController::create();
        detail->setRetData(read.data);
        detail->setAccount(self->account_);
        detail->setAccountName(self->accountName_);
        detail->setChargeMoney(self->chargeMoney_);
        detail->setPostDatas(self->postDatas_);
        if (auto navigation = self->navigationController()) navigation->push(detail, true);
        break;
      }
      case PointsReply::Kind::Prompt:
        self->showPrompt(read.prompt);
        break;
      case PointsReply::Kind::NetworkFailed:
      case PointsReply::Kind::OutcomeUnknown:
        self->inquiryFailed();
        break;
      case PointsReply::Kind::Silent:
        break;
    }
  });
}

void MemberCardInputViewController::inquiryFailed() {
  // A new swipe and a new PIN: the card fields of the lost inquiry are not sent again.
  clearSwipe();
  cardSwiperStatusViewAfreshSwipeButtonPressed(*cardSwipeStatusView_);
  passwordTextField_->setText("");
  pwd_.clear();
  stopSwipeAndClearup();
  showPrompt(Strings::localized("NetWord_Failed"));
}

}  // namespace nvx
