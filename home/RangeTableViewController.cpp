#include "home/RangeTableViewController.h"

#include "app/ui/BarButtonItemExt.h"
#include "home/CommonMoveCell.h"
#include "home/UpdateDataUtil.h"
#include "platform/ui/Screen.h"

namespace nvx {

namespace ui = platform::ui;
using ui::Rect;

namespace {

constexpr size_t kHeldPosition = 4;

}  // namespace

std::shared_ptr<RangeTableViewController> RangeTableViewController::create() {
  return std::make_shared<RangeTableViewController>();
}

HomeBoxList RangeTableViewController::removeTheBusiness(const HomeBoxList& page) {
  HomeBoxList rows = page;
  if (rows.size() >= 6) {
    rows.erase(rows.begin() + kHeldPosition);
    rows.pop_back();
    return rows;
  }
  for (int i = 0; i < 2 && !rows.empty(); ++i) rows.pop_back();
  return rows;
}

HomeBoxList RangeTableViewController::addTheBusiness(HomeBoxList rows, const HomeBoxList& page) {
  const size_t n = page.size();
  if (n == 0) return rows;
  if (n >= 6) {
    if (rows.size() >= kHeldPosition) {
      rows.insert(rows.begin() + kHeldPosition, page[kHeldPosition]);
    } else {
      rows.push_back(page[kHeldPosition]);
    }
  } else if (n >= 2) {
    rows.push_back(page[n - 2]);
  }
  rows.push_back(page.back());
  return rows;
}

void RangeTableViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  tipDic_ = UpdateDataUtil::getBussinessTipMessage();
  updateTipDic_ = UpdateDataUtil::getUpdateMessage();
  const std::weak_ptr<RangeTableViewController> weak =
      std::static_pointer_cast<RangeTableViewController>(shared_from_this());
  navigationItem().setRightBarButtonItem(BarButtonItemExt::defaultNavBarButtonItem("Save", this, [weak](ui::Control&) {
    if (auto me = weak.lock()) me->save();
  }));
  businessArray_ = removeTheBusiness(commonArray_);

  const Rect screen = ui::Screen::bounds();
  ctrTable_ = ui::TableView::create(Rect{0, 0, screen.width, screen.height - kBarsHeight}, ui::TableViewStyle::Plain);
  ctrTable_->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
  ctrTable_->setEditing(true, false);
  ctrTable_->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(std::static_pointer_cast<RangeTableViewController>(shared_from_this())));
  ctrTable_->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(std::static_pointer_cast<RangeTableViewController>(shared_from_this())));
  view()->addSubview(ctrTable_);
  serverArray_ = ServiceGroupEntity::storedServices();
}

int RangeTableViewController::numberOfRows(ui::TableView&, int) { return static_cast<int>(businessArray_.size()); }

std::optional<double> RangeTableViewController::heightForRow(ui::TableView&, ui::IndexPath) {
  return CommonMoveCell::kRowHeight;
}

std::optional<bool> RangeTableViewController::canEditRow(ui::TableView&, ui::IndexPath) { return true; }

std::optional<ui::TableViewCellEditingStyle> RangeTableViewController::editingStyleForRow(ui::TableView&,
                                                                                         ui::IndexPath) {
  return ui::TableViewCellEditingStyle::Delete;
}

std::shared_ptr<ui::TableViewCell> RangeTableViewController::cellForRow(ui::TableView&, ui::IndexPath path) {
  auto cell = CommonMoveCell::reuseIdentifierCommonMoveCell("Cell");
  cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
  if (path.row < 0 || static_cast<size_t>(path.row) >= businessArray_.size()) return cell;
  cell->fillRow(*businessArray_[static_cast<size_t>(path.row)], serverArray_, tipDic_, updateTipDic_);
  Rect intro = cell->introduceLabel()->frame();
  cell->introduceLabel()->setFrame(Rect{90, 30, intro.width, intro.height});
  cell->addLine();
  return cell;
}

bool RangeTableViewController::commitEditing(ui::TableView&, ui::TableViewCellEditingStyle style, ui::IndexPath path) {
  if (style != ui::TableViewCellEditingStyle::Delete) return false;
  deleteRow(path);
  return true;
}

void RangeTableViewController::deleteRow(ui::IndexPath path) {
  if (path.row < 0 || static_cast<size_t>(path.row) >= businessArray_.size()) return;
  businessArray_.erase(businessArray_.begin() + path.row);
  if (ctrTable_) ctrTable_->deleteRows({path}, ui::TableViewRowAnimation::Left);
}

void RangeTableViewController::moveRow(ui::IndexPath from, ui::IndexPath to) {
  const auto count = static_cast<int>(businessArray_.size());
  if (from.row < 0 || from.row >= count || to.row < 0 || to.row >= count || from.row == to.row) return;
  auto box = businessArray_[static_cast<size_t>(from.row)];
  businessArray_.erase(businessArray_.begin() + from.row);
  businessArray_.insert(businessArray_.begin() + to.row, box);
  if (ctrTable_) ctrTable_->reloadData();
}

void RangeTableViewController::save() {
  dismissModal(true);
  businessArray_ = addTheBusiness(businessArray_, commonArray_);
  if (delegate) delegate(businessArray_);
}

void RangeTableViewController::backButtonPressed() { dismissModal(true); }

}  // namespace nvx
