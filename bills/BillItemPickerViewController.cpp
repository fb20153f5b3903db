#include "bills/BillItemPickerViewController.h"

#include "bills/BillFormParts.h"
#include "bills/BillsOperations.h"
#include "platform/device/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Json;
using platform::ui::Font;
using platform::ui::Rect;

void BillItemPickerViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  items_.clear();
  entries_.clear();
  auto self = std::static_pointer_cast<BillItemPickerViewController>(shared_from_this());
  itemTableView_ = billform::formTable(self);
  itemTableView_->setBackgroundColor(platform::ui::Color::clear());
  itemTableView_->setSeparatorStyle(platform::ui::TableViewCellSeparatorStyle::None);
}

void BillItemPickerViewController::requestList(std::string path) {
  auto self = std::static_pointer_cast<BillItemPickerViewController>(shared_from_this());
  BillsOperations::getList(std::move(path), {}, [self](BillReply<Json> reply) {
    if (!reply.data) {
      if (reply.prompt) self->showPrompt(*reply.prompt);
      return;
    }
    for (const Json& entry : *reply.data) {
      if (!entry.is_object()) continue;
      if (auto item = self->itemOf(entry)) {
        self->items_.push_back(std::move(*item));
        self->entries_.push_back(entry);
      }
    }
    self->itemTableView_->reloadData();
  });
}

std::optional<size_t> BillItemPickerViewController::tickedRow() const {
  if (chosen_) return chosen_;
  if (defaultSeletedItem_.empty()) return std::nullopt;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].name == defaultSeletedItem_) return i;
  }
  return std::nullopt;
}

int BillItemPickerViewController::numberOfRows(platform::ui::TableView&, int) { return static_cast<int>(items_.size()); }

std::shared_ptr<platform::ui::TableViewCell> BillItemPickerViewController::cellForRow(platform::ui::TableView&,
                                                                                      platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  const auto row = static_cast<size_t>(path.row);
  auto tick = platform::ui::ImageView::create(platform::ui::Image::named("check.png"));
  tick->setTag(kTickTag);
  tick->setCenter({30, 22});
  tick->setHidden(tickedRow() != row);
  cell->contentView()->addSubview(tick);
  auto name = platform::ui::Label::create(Rect{50, 6, 250, 30}, row < items_.size() ? rowText(items_[row]) : "");
  name->setTag(kNameTag);
  name->setFont(Font::system(16));
  cell->contentView()->addSubview(name);
  return cell;
}

std::optional<double> BillItemPickerViewController::heightForHeader(platform::ui::TableView&, int) { return 40.0; }

std::shared_ptr<platform::ui::View> BillItemPickerViewController::viewForHeader(platform::ui::TableView&, int) {
  return billform::sectionHeader(headerText(), 40);
}

void BillItemPickerViewController::didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) {
  table.deselectRow(path, false);
  const auto row = static_cast<size_t>(path.row);
  if (row >= items_.size()) return;
  chosen_ = row;
  table.reloadData();
  report(items_[row]);
  if (auto navigation = navigationController()) navigation->pop(true);
}

}  // namespace nvx
