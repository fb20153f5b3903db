#include "bills/PublicDonationViewController.h"

#include "app/ui/ButtonCreater.h"
#include "bills/BillFormParts.h"
#include "bills/BillPayScreen.h"
#include "bills/BillsOperations.h"
#include "core/text/StringsTool.h"
#include "pay/PayMoney.h"
#include "pay/PayScreenSetup.h"
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

void PublicDonationViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("PublicDonation"));
  auto self = std::static_pointer_cast<PublicDonationViewController>(shared_from_this());
  std::weak_ptr<PublicDonationViewController> weak = self;
  PublicDonationTableView_ = billform::formTable(self);

  choices_.first.field = createTextFieldAlignmentRight();
  choices_.second.field = createTextFieldAlignmentRight();
  donationMoneysField_ = platform::ui::TextField::create(Rect{115, 8, 195, 30});
  donationMoneysField_->setPlaceholder(Strings::localized("EnterDonationAmount"));
  donationMoneysField_->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  donationMoneysField_->setFont(Font::system(16));
  donationMoneysField_->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  donationMoneysField_->setAutocapitalizationType(platform::ui::TextAutocapitalization::None);
  addDoneButtonForDecimalPad(*donationMoneysField_);
  donationMoneysField_->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(self));

  nextButton_ = billform::nextButton(weak, &PublicDonationViewController::theNextStep, *PublicDonationTableView_);
  nextButton_->setCenter({160, 262});
}

std::shared_ptr<platform::ui::TextField> PublicDonationViewController::createTextFieldAlignmentRight() {
  auto field = platform::ui::TextField::create(Rect{80, 7, 205, 30});
  field->setFont(Font::system(16));
  field->setTextAlignment(platform::ui::TextAlignment::Right);
  field->setUserInteractionEnabled(false);
  field->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  return field;
}

void PublicDonationViewController::scrollTo(double y) {
  PublicDonationTableView_->setContentOffset({PublicDonationTableView_->contentOffset().x, y}, true);
}

void PublicDonationViewController::theNextStep() {
  donationMoneysField_->resignFirstResponder();
  if (inquiry_.isRunning()) return;
  if (choices_.first.field->text().empty()) return showPrompt(Strings::localized("Error_DonationAgencies"));
  if (choices_.second.field->text().empty()) return showPrompt(Strings::localized("Error_DonationProject"));
  auto fen = PayMoney::fenFromYuanText(donationMoneys_);
  if (!fen || *fen <= 0) return showPrompt(Strings::localized("Error_AmountNotNull"));
  queryTrans();
}

void PublicDonationViewController::queryTrans() {
  auto self = std::static_pointer_cast<PublicDonationViewController>(shared_from_this());
  inquiry_.send(*this, {{"uid", SessionValue::Uid},
                               {"vercode", SessionValue::Vercode},
                               {"busid", "M50008"},
                               {"termid", SessionValue::ReaderTerminal},
                               {"mobile", SessionValue::LoginName},
                               {"billno", choices_.second.code},
                               {"amount", donationMoneys_},
                               {"userToken", SessionValue::UserToken},
                               {"wallet", "100"}},
                [self](const Json& data) {
                  self->inquiryData_ = TradeInquiryReturnData::initWithDic(data);
                  self->initSwipeViewController();
                });
}

void PublicDonationViewController::initSwipeViewController() {
  if (!inquiryData_) return;
  BillPayScreen pay;
  pay.className = PayScreenSetup::kMultPayClassName;
  pay.rows = {Row::sourceWithLeftValue(Strings::localized("DonationAgencies"), choices_.first.name),
              Row::sourceWithLeftValue(Strings::localized("DonationProject"), leadingChars(choices_.second.name, kSummaryChars)),
              Row::sourceWithLeftValue(Strings::localized("DonationAmount"), fenOfYuan(donationMoneys_).value_or(0)),
              Row::sourceWithLeftValue(Strings::localized("PayCardAmount"), fenOfYuan(inquiryData_->price()).value_or(0),
                                       true)};
  pay.cardTexts("付款银行卡及密码", false);
  pay.navTitle = Strings::localized("PublicDonation");
  pay.doneButtonTitle = "确定付款";
  pay.businessType = 5;
  pay.transactionData = {{"K_TRANSACTION_TARGET", choices_.first.name},
                         {"K_TRANSACTION_AMOUNT", donationMoneys_},
                         {"K_TRANSACTION_INFO", choices_.second.name}};
  pay.commit = {{"uid", SessionValue::Uid},
                {"vercode", SessionValue::Vercode},
                {"busid", "M20016"},
                {"termid", SessionValue::ReaderTerminal},
                {"mobile", SessionValue::LoginName},
                {"userToken", SessionValue::UserToken},
                {"srcsid", inquiryData_->sid().value_or("")},
                {"billno", choices_.second.code},
                {"amount", donationMoneys_}};
  pay.open(*this);
}

void PublicDonationViewController::donationItemViewController(DonationItemViewController& picker,
                                                              const std::string& itemName, const std::string& itemId) {
  if (picker.listsProjects()) {
    choices_.chooseSecond(itemName, itemId);
  } else {
    choices_.chooseFirst(itemName, itemId);
  }
}

// --- table ---------------------------------------------------------------------------------------

std::optional<int> PublicDonationViewController::numberOfSections(platform::ui::TableView&) { return 2; }

int PublicDonationViewController::numberOfRows(platform::ui::TableView&, int section) { return section == 0 ? 2 : 1; }

std::shared_ptr<platform::ui::TableViewCell> PublicDonationViewController::cellForRow(platform::ui::TableView&,
                                                                                      platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  const char* key = path.section == 1 ? "DonationAmount" : path.row == 0 ? "DonorAgencies" : "DonorProject";
  cell->contentView()->addSubview(
      billform::rowLabel(Rect{5, 8, 100, 30}, Strings::localized(key), platform::ui::TextAlignment::Right));
  if (path.section == 0) {
    cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DisclosureIndicator);
    cell->contentView()->addSubview(path.row == 0 ? choices_.first.field : choices_.second.field);
  } else {
    cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
    cell->contentView()->addSubview(donationMoneysField_);
  }
  return cell;
}

std::optional<double> PublicDonationViewController::heightForHeader(platform::ui::TableView&, int section) {
  return section == 0 ? 50.0 : 36.0;
}

std::shared_ptr<platform::ui::View> PublicDonationViewController::viewForHeader(platform::ui::TableView&, int section) {
  return billform::sectionHeader(Strings::localized(section == 0 ? "DonationMessage1" : "DonationAmount"),
                                section == 0 ? 50.0 : 36.0);
}

void PublicDonationViewController::didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) {
  table.deselectRow(path, false);
  if (path.section != 0) return;
  auto picker = std::make_shared<DonationItemViewController>();
  picker->setDelegateData(std::static_pointer_cast<PublicDonationViewController>(shared_from_this()));
  if (path.row == 0) {
    picker->setDonationItemTitle(Strings::localized("DonorAgencies"));
    picker->setDefaultSeletedItem(choices_.first.field->text());
  } else {
    if (choices_.first.field->text().empty()) {
      return showPrompt(Strings::localized("Error_DonationAgenciesNotNul"));
    }
    picker->setDonationItemTitle(Strings::localized("DonorProject"));
    picker->setDonationOganizationId(choices_.first.code);
    picker->setDefaultSeletedItem(choices_.second.field->text());
  }
  if (auto navigation = navigationController()) navigation->push(picker, true);
}

void PublicDonationViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  donationMoneysField_->resignFirstResponder();
}

// --- fields --------------------------------------------------------------------------------------

void PublicDonationViewController::didBeginEditing(platform::ui::TextField&) {
  donationMoneys_.clear();
  scrollTo(100);
}

void PublicDonationViewController::didEndEditing(platform::ui::TextField& field) {
  if (!field.text().empty()) field.setText(StringsTool::handleInputMoneysEndEditField(field.text()));
  donationMoneys_ = field.text();
  scrollTo(0);
}

std::optional<bool> PublicDonationViewController::shouldChangeCharacters(platform::ui::TextField& field,
                                                                         platform::Range16 range,
                                                                         const std::string& replacement) {
  return StringsTool::isMoneyField(field.text(), range, replacement);
}

std::optional<bool> PublicDonationViewController::shouldReturn(platform::ui::TextField&) {
  donationMoneysField_->resignFirstResponder();
  return true;
}

}  // namespace nvx
