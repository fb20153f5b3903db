#include "pay/PaymentBaseViewController.h"

#include "app/ui/ButtonCreater.h"
#include "app/ui/ButtonExt.h"
#include "app/ui/NVXSafeKeyboardView.h"
#include "app/ui/ViewTool.h"
#include "core/session/User.h"
#include "core/text/StringsTool.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Color.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::IndexPath;
using platform::ui::Rect;

void PaymentBaseViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  paymentNumber_.clear();
  payMoneys_.clear();
  phoneNumber_.clear();
  SMSNotificationSwitchIsOn_ = false;

  const auto& screen = platform::Device::screen().bounds;
  paymentTableView_ = ViewTool::myGroupedTableViewWithFrame(Rect{0, 0, screen.width, screen.height - 20 - 44});
  auto self = selfForm();
  paymentTableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  paymentTableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  paymentTableView_->setTouchUpInsideDelegate(std::weak_ptr<CustomTableViewDelegate>(self));
  view()->addSubview(paymentTableView_);

  std::weak_ptr<PaymentBaseViewController> weak = self;
  SMSNotificationSwitch_ = platform::ui::Switch::create();
  SMSNotificationSwitch_->addTarget(this, platform::ui::ControlEvent::ValueChanged, [weak](platform::ui::Control&) {
    if (auto form = weak.lock()) form->toSetSendSMSNotification();
  });

  const double x = paymentNumberLabelTitle_.empty()
                       ? 42
                       : platform::ui::TextMetrics::width(paymentNumberLabelTitle_, Font::system(16)) + 20 + 22;
  const double w = 305 - x;
  paymentNumberField_ = createTextFieldFrame(Rect{x, 8, w, 30}, paymentNumberPlaceholder_, kPaymentNumberTag);
  paymentNumberField_->setKeyboardType(platform::ui::KeyboardType::NumberPad);
  addDoneButtonForNumberPad(*paymentNumberField_);

  payMoneysField_ = createTextFieldFrame(Rect{x, 8, w, 30}, payMoneysPlaceholder_, kPayMoneysTag);
  payMoneysKeypad_ = NVXSafeKeyboardView::numberPadWithInputField(payMoneysField_, NVXSafeKeyboardView::kAmountStyle);

  phoneNumberField_ = createTextFieldFrame(Rect{x, 8, w - 34, 30}, Strings::localized("MobileNumber"), kPhoneNumberTag);
  phoneNumberField_->setClearButtonMode(platform::ui::TextFieldViewMode::Never);
  if (defaultPhoneNumber_) {
    const std::string& login = User::currentUser().loginName();
    phoneNumberField_->setText(StringsTool::handlePhoneNumber(login));
    phoneNumber_ = login;
  }
  phoneNumberField_->setKeyboardType(platform::ui::KeyboardType::NumberPad);
  addDoneButtonForNumberPad(*phoneNumberField_);

  theNextButton_ = ButtonCreater::bigButtonWithText(Strings::localized("Next"));
  theNextButton_->setCenter(platform::ui::Point{160, isNeedPhoneNumber_ ? 248.0 : 163.0});
  theNextButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto form = weak.lock()) form->theNextStep();
  });
  paymentTableView_->addSubview(theNextButton_);
}

void PaymentBaseViewController::theNextStep() {
  if (paymentTableView_) touchUpInsideEndedCustomTableView(*paymentTableView_);
}

void PaymentBaseViewController::toSetSendSMSNotification() {
  SMSNotificationSwitchIsOn_ = SMSNotificationSwitch_->isOn();
  paymentTableView_->reloadData();
}

void PaymentBaseViewController::keyboardCancel() { scrollTo(0); }

void PaymentBaseViewController::scrollTo(double offsetY) {
  if (!paymentTableView_) return;
  paymentTableView_->setContentOffset(platform::ui::Point{paymentTableView_->contentOffset().x, offsetY}, true);
}

void PaymentBaseViewController::getPhoneNumberSuccess(const std::string& phoneNumber) {
  phoneNumber_ = StringsTool::clearPhoneNumber(phoneNumber);
  phoneNumberField_->setText(phoneNumber_);
  phoneNumberField_->setText(StringsTool::phoneNumberFieldEndEditing(phoneNumberField_->text()));
}

void PaymentBaseViewController::touchUpInsideEndedCustomTableView(CustomTableView& /*table*/) {
  for (const auto& field : {paymentNumberField_, payMoneysField_, phoneNumberField_}) {
    if (field) field->resignFirstResponder();
  }
}

std::shared_ptr<platform::ui::Label> PaymentBaseViewController::lableFrame(Rect frame, std::string_view title,
                                                                           double titleSize) {
  auto label = platform::ui::Label::create(frame, std::string(title));
  label->setNumberOfLines(0);
  label->setBackgroundColor(Color::clear());
  label->setTextAlignment(platform::ui::TextAlignment::Left);
  label->setFont(Font::system(titleSize));
  return label;
}

std::shared_ptr<platform::ui::TextField> PaymentBaseViewController::createTextFieldFrame(Rect frame,
                                                                                         std::string_view defaultTip,
                                                                                         int tag) {
  auto field = platform::ui::TextField::create(frame);
  field->setFont(Font::system(16));
  field->setContentVerticalAlignment(platform::ui::ContentVerticalAlignment::Center);
  field->setTextAlignment(platform::ui::TextAlignment::Left);
  field->setTag(tag);
  field->setPlaceholder(std::string(defaultTip));
  field->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(selfForm()));
  field->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  field->setKeyboardType(platform::ui::KeyboardType::NumbersAndPunctuation);
  field->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  field->setAutocapitalizationType(platform::ui::TextAutocapitalization::None);
  return field;
}

std::shared_ptr<platform::ui::Button> PaymentBaseViewController::pasteButtonFrame(Rect frame,
                                                                                  std::string_view normalImage,
                                                                                  std::string_view selectImage,
                                                                                  std::function<void()> action) {
  return ButtonExt::buttonWithFrame(frame, normalImage, selectImage, this,
                                    [action = std::move(action)](platform::ui::Control&) {
                                      if (action) action();
                                    });
}

// --- table ---------------------------------------------------------------------------------------

std::optional<int> PaymentBaseViewController::numberOfSections(platform::ui::TableView&) {
  return isNeedPhoneNumber_ ? 2 : 1;
}

int PaymentBaseViewController::numberOfRows(platform::ui::TableView&, int section) {
  if (section == 0) return 2;
  return isOptionalOfPhoneField_ && SMSNotificationSwitchIsOn_ ? 2 : 1;
}

std::shared_ptr<platform::ui::TableViewCell> PaymentBaseViewController::numberRow() {
  auto cell = platform::ui::TableViewCell::create();
  cell->contentView()->addSubview(lableFrame(Rect{20, 8, 64, 30}, Strings::localized("MobileNumber"), 16));
  cell->contentView()->addSubview(phoneNumberField_);
  std::weak_ptr<PaymentBaseViewController> weak = selfForm();
  auto add = ButtonExt::buttonWithFrame(Rect{266, 0, 32, 32}, platform::ui::Image::named("add.png"), this,
                                        [weak](platform::ui::Control&) {
                                          if (auto form = weak.lock()) form->getPhoneNumberFromAddressBook();
                                        });
  cell->setAccessoryView(add);
  return cell;
}

std::shared_ptr<platform::ui::TableViewCell> PaymentBaseViewController::cellForRow(platform::ui::TableView&,
                                                                                   IndexPath path) {
  std::shared_ptr<platform::ui::TableViewCell> cell;
  if (path.section == 0) {
    cell = platform::ui::TableViewCell::create();
    if (path.row == 0) {
      double width = platform::ui::TextMetrics::width(paymentNumberLabelTitle_, Font::system(16));
      cell->contentView()->addSubview(lableFrame(Rect{20, 8, width, 30}, paymentNumberLabelTitle_, 16));
      cell->contentView()->addSubview(paymentNumberField_);
    } else {
      cell->contentView()->addSubview(lableFrame(Rect{20, 8, 70, 30}, payMoneysLabelTitle_, 16));
      cell->contentView()->addSubview(payMoneysField_);
    }
  } else if (path.row == 0 && isOptionalOfPhoneField_) {
    cell = platform::ui::TableViewCell::create();
    cell->contentView()->addSubview(lableFrame(Rect{20, 8, 200, 30}, Strings::localized("SMS"), 16));
    cell->setAccessoryView(SMSNotificationSwitch_);
  } else {
    cell = numberRow();
  }
  cell->setBackgroundColor(Color::white());
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  return cell;
}

std::optional<double> PaymentBaseViewController::heightForHeader(platform::ui::TableView&, int section) {
  return section == 0 ? 40.0 : section == 1 ? 30.0 : 0.0;
}

// --- fields --------------------------------------------------------------------------------------

std::optional<bool> PaymentBaseViewController::shouldBeginEditing(platform::ui::TextField& field) {
  switch (field.tag()) {
    case kPhoneNumberTag: {
      double centre = field.frame().center().y;
      if (auto cell = field.superview()) {
        for (auto v = cell; v && v != paymentTableView_; v = v->superview()) centre += v->frame().y;
      }
      scrollTo(std::max(0.0, centre - 100));
      phoneNumber_.clear();
      field.setText(StringsTool::phoneNumberFieldBeginEditing(field.text()));
      break;
    }
    case kPayMoneysTag:
      scrollTo(40);
      payMoneys_.clear();
      break;
    case kPaymentNumberTag:
      scrollTo(0);
      paymentNumber_.clear();
      break;
    default:
      break;
  }
  return true;
}

void PaymentBaseViewController::didEndEditing(platform::ui::TextField& field) {
  switch (field.tag()) {
    case kPhoneNumberTag:
      phoneNumber_ = StringsTool::clearPhoneNumber(field.text());
      field.setText(StringsTool::phoneNumberFieldEndEditing(field.text()));
      break;
    case kPayMoneysTag:
      field.setText(StringsTool::handleInputMoneysEndEditField(field.text()));
      payMoneys_ = field.text();
      break;
    case kPaymentNumberTag:
      paymentNumber_ = field.text();
      break;
    default:
      break;
  }
  keyboardCancel();
}

std::optional<bool> PaymentBaseViewController::shouldChangeCharacters(platform::ui::TextField& field,
                                                                      platform::Range16 range,
                                                                      const std::string& replacement) {
  switch (field.tag()) {
    case kPhoneNumberTag: {
      auto edit = StringsTool::isPhoneNumberField(field.text(), range, replacement, true);
      if (edit.setText) field.setText(*edit.setText);
      if (edit.closeKeyboard) field.resignFirstResponder();
      return edit.shouldChange;
    }
    case kPayMoneysTag:
      return StringsTool::isMoneyField(field.text(), range, replacement);
    case kPaymentNumberTag:
      return replacement.empty() || StringsTool::isNumber(replacement);
    default:
      return true;
  }
}

std::optional<bool> PaymentBaseViewController::shouldReturn(platform::ui::TextField&) {
  if (paymentTableView_) touchUpInsideEndedCustomTableView(*paymentTableView_);
  return true;
}

}  // namespace nvx
