#include "bills/MobileEditViewController.h"

#include "app/ui/ButtonCreater.h"
#include "bills/BillFormParts.h"
#include "bills/BillsOperations.h"
#include "bills/MobileUsedViewController.h"
#include "core/session/User.h"
#include "core/text/StringsTool.h"
#include "core/text/UrlEscaping.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

namespace nvx {

using platform::Strings;
using platform::ui::Font;
using platform::ui::Rect;

namespace {

constexpr int kPhoneTag = 0;
constexpr int kNameTag = 1;

std::string without(std::string text, std::string_view chars) {
  std::erase_if(text, [&](char c) { return chars.find(c) != std::string_view::npos; });
  return text;
}

}  // namespace

void MobileEditViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  auto self = std::static_pointer_cast<MobileEditViewController>(shared_from_this());
  std::weak_ptr<MobileEditViewController> weak = self;

  auto makeField = [&](std::string placeholder, int tag) {
    auto field = platform::ui::TextField::create(Rect{100, 8, 190, 30});
    field->setTag(tag);
    field->setPlaceholder(std::move(placeholder));
    field->setFont(Font::system(16));
    field->setReturnKeyType(platform::ui::ReturnKeyType::Done);
    field->setAutocapitalizationType(platform::ui::TextAutocapitalization::None);
    field->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
    field->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(self));
    return field;
  };
  phoneField_ = makeField(Strings::localized("MobileNumber"), kPhoneTag);
  phoneField_->setKeyboardType(platform::ui::KeyboardType::NumberPad);
  addDoneButtonForNumberPad(*phoneField_);
  phoneField_->setEnabled(false);
  nameField_ = makeField("请输入姓名", kNameTag);
  nameField_->setKeyboardType(platform::ui::KeyboardType::NumbersAndPunctuation);
  phoneField_->setText(StringsTool::handlePhoneNumber(phoneNumber_));
  nameField_->setText(phoneUserName_);

  contentTableView_ = billform::formTable(self);

  deleteButton_ = ButtonCreater::barButtonWithText(Strings::localized("删除"));
  deleteButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->deletePhone();
  });
  navigationItem().setRightBarButtonItem(platform::ui::BarButtonItem::withCustomView(deleteButton_));

  saveButton_ = ButtonCreater::bigButtonWithText(Strings::localized("确定"));
  saveButton_->setCenter({160, 160});
  saveButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->savePhoneInfo();
  });
  contentTableView_->addSubview(saveButton_);
}

void MobileEditViewController::savePhoneInfo() {
  phoneField_->resignFirstResponder();
  nameField_->resignFirstResponder();
  const std::string name = without(nameField_->text(), " ");
  const std::string number = without(phoneField_->text(), "- ");
  if (!StringsTool::isPhoneNumber(number)) return showPrompt(kWrongNumber);
  if (!StringsTool::isChineseOrEnglishName(name)) return showPrompt(kWrongName);
  if (name == phoneUserName_ && number == phoneNumber_) return showPrompt(kUnchanged);
  // What was sent stays as the entry's values, whatever the reply.
  phoneNumber_ = number;
  phoneUserName_ = name;
  auto self = std::static_pointer_cast<MobileEditViewController>(shared_from_this());
  BillsOperations::confirm("updateRechargeMobileMark",
                           {{"mobile", text::encodeURLString(User::currentUser().loginName())},
                            {"mobileNo", text::encodeURLString(number)},
                            {"mobileMark", text::encodeURLString(name)}},
                           [self](BillReply<bool> reply) { self->answered(kSaved, reply.data.has_value(), reply.prompt); });
}

void MobileEditViewController::deletePhone() {
  auto self = std::static_pointer_cast<MobileEditViewController>(shared_from_this());
  BillsOperations::confirm("deleteRechargeMobileHis",
                           {{"mobile", text::encodeURLString(User::currentUser().loginName())},
                            {"mobileNo", text::encodeURLString(phoneNumber_)}},
                           [self](BillReply<bool> reply) { self->answered(kDeleted, reply.data.has_value(), reply.prompt); });
}

void MobileEditViewController::answered(const char* done, bool ok, const std::optional<std::string>& prompt) {
  if (!ok) {
    if (prompt) showPrompt(MobileUsedViewController::historyPrompt(*prompt));
    return;
  }
  if (auto list = needRefreshMe_.lock()) list->setNeedRefresh(true);
  std::weak_ptr<MobileEditViewController> weak = std::static_pointer_cast<MobileEditViewController>(shared_from_this());
  showPrompt(done);
  platform::dispatchAfter(platform::secs(kPromptSeconds), [weak] {
    if (auto screen = weak.lock()) screen->backButtonPressed();
  });
}

// --- table ---------------------------------------------------------------------------------------

int MobileEditViewController::numberOfRows(platform::ui::TableView&, int) { return 2; }

std::shared_ptr<platform::ui::TableViewCell> MobileEditViewController::cellForRow(platform::ui::TableView&,
                                                                                  platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  auto label = platform::ui::Label::create(Rect{20, 8, 80, 30}, path.row == 0 ? "手机号码" : "姓名");
  label->setFont(Font::system(16));
  cell->contentView()->addSubview(label);
  cell->contentView()->addSubview(path.row == 0 ? phoneField_ : nameField_);
  return cell;
}

void MobileEditViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  phoneField_->resignFirstResponder();
  nameField_->resignFirstResponder();
}

// --- fields --------------------------------------------------------------------------------------

void MobileEditViewController::didBeginEditing(platform::ui::TextField& field) {
  if (field.tag() == kPhoneTag) field.setText(StringsTool::phoneNumberFieldBeginEditing(field.text()));
}

void MobileEditViewController::didEndEditing(platform::ui::TextField& field) {
  if (field.tag() == kPhoneTag) field.setText(StringsTool::phoneNumberFieldEndEditing(field.text()));
}

std::optional<bool> MobileEditViewController::shouldChangeCharacters(platform::ui::TextField& field,
                                                                     platform::Range16 range,
                                                                     const std::string& replacement) {
  if (field.tag() == kPhoneTag) {
    return billform::phoneFieldChange(field, range, replacement, true);
  }
  // The name: deletions, or text wholly of letters or wholly of Chinese characters.
  return replacement.empty() || StringsTool::isLetter(replacement) || StringsTool::isChineseCharacter(replacement);
}

std::optional<bool> MobileEditViewController::shouldReturn(platform::ui::TextField&) {
  touchUpInsideEndedCustomTableView(*contentTableView_);
  return true;
}

}  // namespace nvx
