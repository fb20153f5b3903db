#include "bills/GameCardRechargeViewController.h"

#include "app/ui/ButtonCreater.h"
#include "app/ui/ButtonExt.h"
#include "bills/BillFormParts.h"
#include "bills/BillPayScreen.h"
#include "bills/BillsOperations.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/text/StringsTool.h"
#include "pay/PayScreenSetup.h"
#include "pay/SwipeViewController.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::Font;
using platform::ui::Rect;
using Row = TransactionInfoLabelSource;

void GameCardRechargeViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("GameCardRecharge"));
  auto self = std::static_pointer_cast<GameCardRechargeViewController>(shared_from_this());
  std::weak_ptr<GameCardRechargeViewController> weak = self;
  gameCardRechargeTableView_ = billform::formTable(self);

  choices_.first.field = choiceField();
  choices_.second.field = choiceField();
  phoneNumberField_ = platform::ui::TextField::create(Rect{111, 8, 160, 30});
  phoneNumberField_->setPlaceholder(Strings::localized("PleaseEnterMobileNumber"));
  phoneNumberField_->setFont(Font::system(16));
  phoneNumberField_->setKeyboardType(platform::ui::KeyboardType::NumberPad);
  addDoneButtonForNumberPad(*phoneNumberField_);
  phoneNumberField_->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(self));
  phoneNumber_ = User::currentUser().loginName();
  phoneNumberField_->setText(StringsTool::handlePhoneNumber(phoneNumber_));

  nextButton_ = billform::nextButton(weak, &GameCardRechargeViewController::theNextStep, *gameCardRechargeTableView_);
  nextButton_->setCenter({160, 262});
}

std::shared_ptr<platform::ui::TextField> GameCardRechargeViewController::choiceField() {
  auto field = platform::ui::TextField::create(Rect{80, 7, 205, 30});
  field->setFont(Font::system(16));
  field->setTextAlignment(platform::ui::TextAlignment::Right);
  field->setUserInteractionEnabled(false);
  return field;
}

void GameCardRechargeViewController::scrollTo(double y) {
  gameCardRechargeTableView_->setContentOffset({gameCardRechargeTableView_->contentOffset().x, y}, true);
}

void GameCardRechargeViewController::theNextStep() {
  phoneNumberField_->resignFirstResponder();
  if (inquiry_.isRunning()) return;
  if (choices_.first.field->text().empty()) return showPrompt(kChooseType);
  if (choices_.second.field->text().empty()) return showPrompt(kChooseDenomination);
  if (!StringsTool::isPhoneNumber(phoneNumber_)) return showPrompt(Strings::localized("Error_EnterMobileNumber"));
  if (!AppServices::current().isOtherAppLaunching()) return httpRequest();
  std::weak_ptr<GameCardRechargeViewController> weak =
      std::static_pointer_cast<GameCardRechargeViewController>(shared_from_this());
  swiperValid([weak](bool ready) {
    if (!ready) return;
    if (auto form = weak.lock()) form->httpRequest();
  });
}

void GameCardRechargeViewController::httpRequest() {
  const bool called = AppServices::current().isOtherAppLaunching();
  BillFields fields = {{"uid", SessionValue::Uid},
                       {"vercode", SessionValue::Vercode},
                       {"busid", "M50007"},
                       {"termid", SessionValue::ReaderTerminal},
                       {"mobile", SessionValue::LoginName},
                       {"billno", choices_.second.code},
                       {"mobileno", phoneNumber_},
                       {"userToken", SessionValue::UserToken}};
  if (!called) fields.push_back({"wallet", "100"});
  auto self = std::static_pointer_cast<GameCardRechargeViewController>(shared_from_this());
  inquiry_.send(*this, fields, [self, called](const Json& data) {
    self->inquiryData_ = TradeInquiryReturnData::initWithDic(data);
    self->initPayViewControllerWithClass(called ? SwipeViewController::kClassName : PayScreenSetup::kMultPayClassName);
  });
}

void GameCardRechargeViewController::initPayViewControllerWithClass(const std::string& className) {
  if (!inquiryData_) return;
  const int64_t price = fenOfYuan(inquiryData_->price()).value_or(0);
  BillPayScreen pay;
  pay.className = className;
  pay.rows = {Row::sourceWithLeftValue(Strings::localized("GameCardName"), choices_.first.name),
              Row::sourceWithLeftValue(Strings::localized("CardDenomination"), choices_.second.name),
              Row::sourceWithLeftValue(Strings::localized("PaymentAmount"), price),
              Row::sourceWithLeftValue(Strings::localized("PayCardAmount"), price, true),
              Row::sourceWithLeftValue(Strings::localized("MobileNumber"), StringsTool::handlePhoneNumber(phoneNumber_))};
  pay.prompt = Strings::localized("GameCardMessage2");
  pay.cardTexts("付款银行卡及密码", false);
  pay.businessType = 4;
  pay.transactionData = {{"K_TRANSACTION_TARGET", choices_.first.name},
                         {"K_TRANSACTION_AMOUNT", choices_.second.name},
                         {"K_TRANSACTION_INFO", phoneNumber_}};
  pay.commit = {{"uid", SessionValue::Uid},
                {"vercode", SessionValue::Vercode},
                {"busid", "M20015"},
                {"termid", SessionValue::ReaderTerminal},
                {"mobile", SessionValue::LoginName},
                {"userToken", SessionValue::UserToken},
                {"srcsid", inquiryData_->sid().value_or("")},
                {"billno", choices_.second.code},
                {"mobileno", phoneNumber_},
                {"issms", "1"}};
  pay.open(*this);
}

void GameCardRechargeViewController::getPhoneNumberSuccess(const std::string& phoneNumber) {
  phoneNumber_ = phoneNumber;
  phoneNumberField_->setText(StringsTool::clearPhoneNumber(phoneNumber));
  phoneNumberField_->setText(StringsTool::phoneNumberFieldEndEditing(phoneNumberField_->text()));
}

void GameCardRechargeViewController::gameCardItemViewController(GameCardItemViewController& picker,
                                                                const std::string& itemName,
                                                                const std::string& itemType) {
  if (picker.listsDenominations()) {
    choices_.chooseSecond(itemName, itemType);
  } else {
    choices_.chooseFirst(itemName, itemType);
  }
}

// --- table ---------------------------------------------------------------------------------------

std::optional<int> GameCardRechargeViewController::numberOfSections(platform::ui::TableView&) { return 2; }

int GameCardRechargeViewController::numberOfRows(platform::ui::TableView&, int section) { return section == 0 ? 2 : 1; }

std::shared_ptr<platform::ui::TableViewCell> GameCardRechargeViewController::cellForRow(platform::ui::TableView&,
                                                                                        platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  const char* key = path.section == 1 ? "MobileNumber" : path.row == 0 ? "CardName" : "Denomination";
  cell->contentView()->addSubview(billform::rowLabel(Rect{20, 8, 90, 30}, Strings::localized(key)));
  if (path.section == 0) {
    cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DisclosureIndicator);
    cell->contentView()->addSubview(path.row == 0 ? choices_.first.field : choices_.second.field);
  } else {
    cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
    cell->contentView()->addSubview(phoneNumberField_);
    cell->setAccessoryView(billform::addressBookButton(*this));
  }
  return cell;
}

std::optional<double> GameCardRechargeViewController::heightForHeader(platform::ui::TableView&, int section) {
  return section == 0 ? 50.0 : 36.0;
}

std::shared_ptr<platform::ui::View> GameCardRechargeViewController::viewForHeader(platform::ui::TableView&, int section) {
  return billform::sectionHeader(Strings::localized(section == 0 ? "GameCardMessage1" : "ToMobileSMSNumber"),
                                section == 0 ? 50.0 : 36.0);
}

void GameCardRechargeViewController::didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) {
  table.deselectRow(path, false);
  if (path.section != 0) return;
  auto picker = std::make_shared<GameCardItemViewController>();
  picker->setDelegateData(std::static_pointer_cast<GameCardRechargeViewController>(shared_from_this()));
  if (path.row == 0) {
    picker->setGameCardItemTitle(Strings::localized("GameCardName"));
    picker->setDefaultSeletedItem(choices_.first.name);
  } else {
    if (choices_.first.field->text().empty()) return showPrompt(kChooseTypeFirst);
    picker->setGameCardItemTitle(Strings::localized("GameCardDenomination"));
    picker->setGameCardType(choices_.first.code);
    picker->setDefaultSeletedItem(choices_.second.name);
  }
  if (auto navigation = navigationController()) navigation->push(picker, true);
}

void GameCardRechargeViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  phoneNumberField_->resignFirstResponder();
}

// --- fields --------------------------------------------------------------------------------------

void GameCardRechargeViewController::didBeginEditing(platform::ui::TextField& field) {
  phoneNumber_.clear();
  scrollTo(100);
  field.setText(StringsTool::phoneNumberFieldBeginEditing(field.text()));
}

void GameCardRechargeViewController::didEndEditing(platform::ui::TextField& field) {
  phoneNumber_ = StringsTool::clearPhoneNumber(field.text());
  scrollTo(0);
  field.setText(StringsTool::phoneNumberFieldEndEditing(field.text()));
}

std::optional<bool> GameCardRechargeViewController::shouldChangeCharacters(platform::ui::TextField& field,
                                                                           platform::Range16 range,
                                                                           const std::string& replacement) {
  return billform::phoneFieldChange(field, range, replacement, true);
}

std::optional<bool> GameCardRechargeViewController::shouldReturn(platform::ui::TextField&) {
  phoneNumberField_->resignFirstResponder();
  return true;
}

}  // namespace nvx
