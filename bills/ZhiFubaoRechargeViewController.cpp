#include "bills/ZhiFubaoRechargeViewController.h"

#include "app/ui/ButtonCreater.h"
#include "app/ui/ButtonExt.h"
#include "app/ui/NVXSafeKeyboardView.h"
#include "bills/BillFormParts.h"
#include "bills/BillPayScreen.h"
#include "bills/BillsOperations.h"
#include "bills/ChargeCodeViewController.h"
#include "core/session/User.h"
#include "core/text/StringsTool.h"
#include "pay/PayMoney.h"
#include "pay/SwipeViewController.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Font.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::Font;
using platform::ui::Rect;
using Row = TransactionInfoLabelSource;

void ZhiFubaoRechargeViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("AlipayRecharge"));
  auto self = std::static_pointer_cast<ZhiFubaoRechargeViewController>(shared_from_this());
  std::weak_ptr<ZhiFubaoRechargeViewController> weak = self;

  zhiFubaoTableView_ = billform::formTable(self);

  moneyField_ = createTextFieldDefaultTip(Strings::localized("EnterRechargeAmount"), kMoneyTag);
  moneyField_->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  moneyKeypad_ = NVXSafeKeyboardView::numberPadWithInputField(moneyField_, NVXSafeKeyboardView::kAmountStyle);
  phoneField_ = createTextFieldDefaultTip(Strings::localized("PleaseEnterMobileNumber"), kPhoneTag);
  phoneField_->setKeyboardType(platform::ui::KeyboardType::NumberPad);
  addDoneButtonForNumberPad(*phoneField_);
  phone_ = User::currentUser().loginName();
  phoneField_->setText(StringsTool::handlePhoneNumber(phone_));

  nextButton_ = billform::nextButton(weak, &ZhiFubaoRechargeViewController::theNextStep, *zhiFubaoTableView_);
  nextButton_->setCenter({160, 285});

  introductionLabel_ = platform::ui::Label::create(Rect{10, 200, 300, 40}, Strings::localized("AlipayRechargeMessage1"));
  introductionLabel_->setFont(Font::system(14));
  introductionLabel_->setNumberOfLines(0);
  introductionLabel_->setTextAlignment(platform::ui::TextAlignment::Left);
  zhiFubaoTableView_->addSubview(introductionLabel_);

  infoButton_ = platform::ui::Button::create(Rect{10, 0, 300, 40});
  infoButton_->setTitle(Strings::localized("支付宝充值业务说明"));
  infoButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto form = weak.lock()) form->gotoZhiFubaoInfo();
  });
}

std::shared_ptr<platform::ui::TextField> ZhiFubaoRechargeViewController::createTextFieldDefaultTip(std::string_view tip,
                                                                                                   int tag) {
  auto field = platform::ui::TextField::create(Rect{111, 8, 200, 30});
  field->setTag(tag);
  field->setPlaceholder(std::string(tip));
  field->setFont(Font::system(16));
  field->setKeyboardType(platform::ui::KeyboardType::NumbersAndPunctuation);
  field->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  field->setAutocapitalizationType(platform::ui::TextAutocapitalization::None);
  field->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(
      std::static_pointer_cast<ZhiFubaoRechargeViewController>(shared_from_this())));
  return field;
}

void ZhiFubaoRechargeViewController::scrollTo(double y) {
  zhiFubaoTableView_->setContentOffset({zhiFubaoTableView_->contentOffset().x, y}, true);
}

void ZhiFubaoRechargeViewController::theNextStep() {
  moneyField_->resignFirstResponder();
  phoneField_->resignFirstResponder();
  if (inquiry_.isRunning()) return;
  auto fen = PayMoney::fenFromYuanText(money_);
  if (!fen || *fen <= 0) return showPrompt(Strings::localized("Error_AmountNotNull"));
  if (!StringsTool::isPhoneNumber(phone_)) return showPrompt(Strings::localized("Error_EnterMobileNumber"));
  std::weak_ptr<ZhiFubaoRechargeViewController> weak =
      std::static_pointer_cast<ZhiFubaoRechargeViewController>(shared_from_this());
  swiperValid([weak](bool ready) {
    if (!ready) return;
    if (auto form = weak.lock()) form->queryTrans();
  });
}

void ZhiFubaoRechargeViewController::queryTrans() {
  auto self = std::static_pointer_cast<ZhiFubaoRechargeViewController>(shared_from_this());
  inquiry_.send(*this, {{"busid", "M50003"},
                               {"termid", SessionValue::ReaderTerminal},
                               {"mobile", SessionValue::LoginName},
                               {"userToken", SessionValue::UserToken},
                               {"amount", money_},
                               {"mobileno", phone_},
                               {"uid", SessionValue::Uid},
                               {"vercode", SessionValue::Vercode}},
                [self](const Json& data) {
                  self->inquiryData_ = TradeInquiryReturnData::initWithDic(data);
                  self->initSwipeViewController();
                });
}

void ZhiFubaoRechargeViewController::initSwipeViewController() {
  if (!inquiryData_) return;
  const TradeInquiryReturnData& inquiry = *inquiryData_;
  BillPayScreen pay;
  pay.className = SwipeViewController::kClassName;
  pay.rows = {Row::sourceWithLeftValue(Strings::localized("RechargeAmount"), fenOfYuan(money_).value_or(0)),
              Row::sourceWithLeftValue(Strings::localized("Fee"), fenOfYuan(inquiry.fee()).value_or(0)),
              Row::sourceWithLeftValue(Strings::localized("PayCardAmount"), fenOfYuan(inquiry.price()).value_or(0), true),
              Row::sourceWithLeftValue(Strings::localized("MobileNumber"), StringsTool::handlePhoneNumber(phone_))};
  pay.prompt = Strings::localized("AlipayRechargeTips");
  pay.cardTexts(std::nullopt, true);
  pay.businessType = 8;
  pay.transactionData = {{"K_TRANSACTION_INFO", phone_}, {"K_TRANSACTION_AMOUNT", money_}};
  pay.commit = {{"busid", "M20011"},
                {"termid", SessionValue::ReaderTerminal},
                {"mobile", SessionValue::LoginName},
                {"userToken", SessionValue::UserToken},
                {"mobileno", phone_},
                {"srcsid", inquiry.sid().value_or("")},
                {"amount", money_},
                {"uid", SessionValue::Uid},
                {"vercode", SessionValue::Vercode}};
  pay.open(*this);
}

void ZhiFubaoRechargeViewController::gotoZhiFubaoInfo() {
  if (auto navigation = navigationController()) navigation->push(std::make_shared<ZhiFuBaoIntroViewController>(), true);
}

void ZhiFubaoRechargeViewController::chargeCodeButtonPressed() {
  if (auto navigation = navigationController()) navigation->push(std::make_shared<ChargeCodeViewController>(), true);
}

void ZhiFubaoRechargeViewController::getPhoneNumberSuccess(const std::string& phoneNumber) {
  phone_ = phoneNumber;
  phoneField_->setText(StringsTool::clearPhoneNumber(phoneNumber));
  phoneField_->setText(StringsTool::phoneNumberFieldEndEditing(phoneField_->text()));
}

// --- table ---------------------------------------------------------------------------------------

std::optional<int> ZhiFubaoRechargeViewController::numberOfSections(platform::ui::TableView&) { return 2; }

int ZhiFubaoRechargeViewController::numberOfRows(platform::ui::TableView&, int) { return 1; }

std::shared_ptr<platform::ui::TableViewCell> ZhiFubaoRechargeViewController::cellForRow(platform::ui::TableView&,
                                                                                        platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  cell->contentView()->addSubview(billform::rowLabel(
      Rect{5, 8, 100, 30}, Strings::localized(path.section == 0 ? "RechargeAmount" : "MobileNumber"),
      platform::ui::TextAlignment::Right));
  if (path.section == 0) {
    cell->contentView()->addSubview(moneyField_);
  } else {
    // The row starts with the login name when the form loads; building the row again keeps what
    // the user typed or picked.
    cell->contentView()->addSubview(phoneField_);
    cell->setAccessoryView(billform::addressBookButton(*this));
  }
  return cell;
}

std::optional<double> ZhiFubaoRechargeViewController::heightForHeader(platform::ui::TableView&, int section) {
  return section == 0 ? 40.0 : 26.0;
}

std::shared_ptr<platform::ui::View> ZhiFubaoRechargeViewController::viewForHeader(platform::ui::TableView&,
                                                                                  int section) {
  return billform::sectionHeader(section == 0 ? "     支付宝充值金额" : "     接收充值码短信的手机号码",
                                section == 0 ? 40.0 : 26.0);
}

std::optional<double> ZhiFubaoRechargeViewController::heightForFooter(platform::ui::TableView&, int section) {
  return section == 1 ? 40.0 : 0.0;
}

std::shared_ptr<platform::ui::View> ZhiFubaoRechargeViewController::viewForFooter(platform::ui::TableView&,
                                                                                  int section) {
  if (section != 1) return nullptr;
  auto footer = platform::ui::View::create(Rect{0, 0, 320, 40});
  footer->addSubview(infoButton_);
  return footer;
}

void ZhiFubaoRechargeViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  moneyField_->resignFirstResponder();
  phoneField_->resignFirstResponder();
}

// --- fields --------------------------------------------------------------------------------------

void ZhiFubaoRechargeViewController::didBeginEditing(platform::ui::TextField& field) {
  scrollTo(40);
  if (field.tag() == kPhoneTag) field.setText(StringsTool::clearPhoneNumber(field.text()));
}

void ZhiFubaoRechargeViewController::didEndEditing(platform::ui::TextField& field) {
  if (field.tag() == kPhoneTag) {
    phone_ = StringsTool::clearPhoneNumber(field.text());
    field.setText(StringsTool::phoneNumberFieldEndEditing(phone_));
  } else if (field.tag() == kMoneyTag) {
    if (!field.text().empty()) field.setText(StringsTool::handleInputMoneysEndEditField(field.text()));
    money_ = field.text();
  }
  scrollTo(0);
}

std::optional<bool> ZhiFubaoRechargeViewController::shouldChangeCharacters(platform::ui::TextField& field,
                                                                           platform::Range16 range,
                                                                           const std::string& replacement) {
  if (field.tag() == kPhoneTag) {
    return billform::phoneFieldChange(field, range, replacement, true);
  }
  if (field.tag() == kMoneyTag) return StringsTool::isMoneyField(field.text(), range, replacement);
  return true;
}

std::optional<bool> ZhiFubaoRechargeViewController::shouldReturn(platform::ui::TextField&) {
  touchUpInsideEndedCustomTableView(*zhiFubaoTableView_);
  return true;
}

// --- the description page -----------------------------------------------------------------------

ZhiFuBaoIntroViewController::ZhiFuBaoIntroViewController() { setTitle(kTitle); }

void ZhiFuBaoIntroViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  const auto& screen = platform::Device::screen().bounds;
  auto label = platform::ui::Label::create(Rect{16, 5, 200, 50}, kTitle);
  label->setFont(Font::system(18));
  view()->addSubview(label);
  webview_ = platform::ui::WebView::create(Rect{15, 55, screen.width - 30, screen.height - 180});
  view()->addSubview(webview_);
  startLoad();
}

void ZhiFuBaoIntroViewController::startLoad() {
  std::weak_ptr<ZhiFuBaoIntroViewController> weak =
      std::static_pointer_cast<ZhiFuBaoIntroViewController>(shared_from_this());
  BillsOperations::getBusiDesc("M50003", [weak](std::optional<std::string> html) {
    auto page = weak.lock();
    if (page && html) page->webview_->loadHTMLString(*html);
  });
}

}  // namespace nvx
