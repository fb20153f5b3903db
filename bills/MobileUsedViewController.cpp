#include "bills/MobileUsedViewController.h"

#include "bills/BillFormParts.h"
#include "bills/BillsOperations.h"
#include "bills/MobileEditViewController.h"
#include "bills/MobileRechargeViewController.h"
#include "core/session/User.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Font.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextField.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::Font;
using platform::ui::Rect;

void MobileUsedViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  needRefresh_ = true;
  auto self = std::static_pointer_cast<MobileUsedViewController>(shared_from_this());
  contentTableView_ = billform::formTable(self);
  contentTableView_->removeFromSuperview();  // placed once the list has come
}

void MobileUsedViewController::viewDidAppear(bool animated) {
  NVXViewController::viewDidAppear(animated);
  if (!needRefresh_) return;
  needRefresh_ = false;
  getPhoneList();
}

void MobileUsedViewController::getPhoneList() {
  auto self = std::static_pointer_cast<MobileUsedViewController>(shared_from_this());
  BillsOperations::getList("getRechargeMobile", {{"mobile", User::currentUser().loginName()}},
                           [self](BillReply<Json> reply) {
                             if (!reply.data) {
                               if (reply.prompt) self->showPrompt(historyPrompt(*reply.prompt));
                               return;
                             }
                             self->contentArray_ = *reply.data;
                             if (self->contentArray_.empty()) {
                               self->contentTableView_->removeFromSuperview();
                               if (!self->emptyLabel_) {
                                 self->emptyLabel_ = platform::ui::Label::create(Rect{0, 0, 320, 80}, kEmptyText);
                                 self->emptyLabel_->setFont(Font::system(16));
                                 self->emptyLabel_->setTextColor(platform::ui::Color::gray(0.5));
                                 self->emptyLabel_->setTextAlignment(platform::ui::TextAlignment::Center);
                               }
                               self->view()->addSubview(self->emptyLabel_);
                             } else {
                               if (self->emptyLabel_) self->emptyLabel_->removeFromSuperview();
                               self->contentTableView_->removeFromSuperview();
                               self->view()->addSubview(self->contentTableView_);
                               self->contentTableView_->reloadData();
                             }
                           });
}

std::string MobileUsedViewController::historyPrompt(const std::string& prompt) {
  return prompt == Strings::localized("NetworkConnectionFailed") ? std::string(kNetworkFailed) : prompt;
}

std::string MobileUsedViewController::entryText(size_t row, const char* key) const {
  if (row >= contentArray_.size()) return {};
  return replyText(contentArray_[row], key).value_or("");
}

int MobileUsedViewController::numberOfRows(platform::ui::TableView&, int) {
  return static_cast<int>(contentArray_.size());
}

std::shared_ptr<platform::ui::TableViewCell> MobileUsedViewController::cellForRow(platform::ui::TableView&,
                                                                                  platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DetailDisclosureButton);
  const auto row = static_cast<size_t>(path.row);
  auto mark = billform::rowLabel(Rect{20, 8, 90, 30}, entryText(row, "mobileMark"));
  mark->setTag(kMarkTag);
  cell->contentView()->addSubview(mark);
  auto number = platform::ui::TextField::create(Rect{110, 8, 160, 30});
  number->setTag(kNumberTag);
  number->setPlaceholder(Strings::localized("MobileNumber"));
  number->setText(entryText(row, "mobileNo"));
  number->setEnabled(false);
  cell->contentView()->addSubview(number);
  return cell;
}

std::optional<double> MobileUsedViewController::heightForHeader(platform::ui::TableView&, int) { return 40.0; }

std::shared_ptr<platform::ui::View> MobileUsedViewController::viewForHeader(platform::ui::TableView&, int) {
  return billform::sectionHeader(Strings::localized("选择充值手机号"), 40);
}

void MobileUsedViewController::didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) {
  table.deselectRow(path, false);
  if (auto recharge = rechargeViewController_.lock()) {
    recharge->resetViewWithPhone(entryText(static_cast<size_t>(path.row), "mobileNo"));
  }
  if (auto navigation = navigationController()) navigation->pop(true);
}

void MobileUsedViewController::accessoryButtonTapped(platform::ui::TableView&, platform::ui::IndexPath path) {
  auto edit = std::make_shared<MobileEditViewController>();
  edit->setPhoneNumber(entryText(static_cast<size_t>(path.row), "mobileNo"));
  edit->setPhoneUserName(entryText(static_cast<size_t>(path.row), "mobileMark"));
  edit->setNeedRefreshMe(std::static_pointer_cast<MobileUsedViewController>(shared_from_this()));
  if (auto navigation = navigationController()) navigation->push(edit, true);
}

}  // namespace nvx
