#include "bills/BillFormParts.h"

#include "app/ui/ButtonExt.h"
#include "app/ui/ViewTool.h"
#include "bills/BillPayScreen.h"
#include "core/text/StringsTool.h"
#include "platform/device/Device.h"
#include "platform/ui/Font.h"

namespace nvx {

using platform::ui::Font;
using platform::ui::Rect;

void BillInquiry::send(NVXViewController& screen, const BillFields& fields,
                       std::function<void(const platform::Json&)> onData) {
  if (*running_) return;
  *running_ = true;
  auto keep = std::static_pointer_cast<NVXViewController>(screen.shared_from_this());
  BillsOperations::queryTrans(fields, [running = running_, keep, onData = std::move(onData)](
                                          BillReply<platform::Json> reply) {
    *running = false;
    if (reply.data) {
      onData(*reply.data);
    } else if (reply.prompt) {
      keep->showPrompt(*reply.prompt);
    }
  });
}

void BillChoicePair::chooseFirst(const std::string& name, const std::string& code) {
  if (code != first.code) {
    second.field->setText("");
    second.name.clear();
    second.code.clear();
  }
  first.field->setText(leadingChars(name, kFieldChars));
  first.name = name;
  first.code = code;
}

void BillChoicePair::chooseSecond(const std::string& name, const std::string& code) {
  second.field->setText(leadingChars(name, kFieldChars));
  second.name = name;
  second.code = code;
}

namespace billform {

std::shared_ptr<CustomTableView> groupedTable() {
  const auto& screen = platform::Device::screen().bounds;
  return ViewTool::myGroupedTableViewWithFrame(Rect{0, 0, screen.width, screen.height - 64});
}

std::shared_ptr<platform::ui::View> sectionHeader(std::string text, double height) {
  auto header = platform::ui::View::create(Rect{0, 0, 320, height});
  header->addSubview(rowLabel(Rect{20, 0, 290, height}, std::move(text)));
  return header;
}

std::shared_ptr<platform::ui::Label> rowLabel(Rect frame, std::string text, platform::ui::TextAlignment alignment) {
  auto label = platform::ui::Label::create(frame, std::move(text));
  label->setFont(Font::system(16));
  label->setBackgroundColor(platform::ui::Color::clear());
  label->setTextAlignment(alignment);
  return label;
}

std::shared_ptr<platform::ui::Button> addressBookButton(NVXViewController& screen) {
  std::weak_ptr<NVXViewController> weak = std::static_pointer_cast<NVXViewController>(screen.shared_from_this());
  return ButtonExt::buttonWithFrame(Rect{0, 0, 30, 30}, "add.png", "add.png", &screen, [weak](platform::ui::Control&) {
    if (auto form = weak.lock()) form->getPhoneNumberFromAddressBook();
  });
}

std::optional<bool> phoneFieldChange(platform::ui::TextField& field, platform::Range16 range,
                                     const std::string& replacement, bool closesAtEleven) {
  auto edit = StringsTool::isPhoneNumberField(field.text(), range, replacement, closesAtEleven);
  if (edit.setText) field.setText(*edit.setText);
  if (edit.closeKeyboard) field.resignFirstResponder();
  return edit.shouldChange;
}

}  // namespace billform
}  // namespace nvx
