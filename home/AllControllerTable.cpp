#include "home/AllControllerTable.h"

#include <algorithm>

#include "app/ui/BarButtonItemExt.h"
#include "app/ui/NVXImage.h"
#include "home/CommonMoveCell.h"
#include "home/HomeDataUtil.h"
#include "home/UpdateDataUtil.h"
#include "platform/ui/ImageView.h"

namespace nvx {

namespace ui = platform::ui;
using ui::Rect;

namespace {

bool holdsTitle(const HomeBoxList& list, const std::string& title) {
  return std::any_of(list.begin(), list.end(), [&](const auto& b) { return b->title() == title; });
}

}  // namespace

std::shared_ptr<AllControllerTable> AllControllerTable::create() { return std::make_shared<AllControllerTable>(); }

void AllControllerTable::insertTampArray(HomeBoxList& list, const std::shared_ptr<HomeBoxData>& box) {
  if (list.empty()) {
    list.push_back(box);
    return;
  }
  list.insert(list.end() - 1, box);
}

void AllControllerTable::deleteBoxData(HomeBoxList& list, const std::string& title) {
  auto at = std::find_if(list.begin(), list.end(), [&](const auto& b) { return b->title() == title; });
  if (at != list.end()) list.erase(at);
}

void AllControllerTable::viewDidLoad() {
  NVXViewController::viewDidLoad();
  compareArray_ = existArray_;
  localArray_ = HomeDataUtil::getAllItemArray();
  tipDic_ = UpdateDataUtil::getBussinessTipMessage();
  updateTipDic_ = UpdateDataUtil::getUpdateMessage();
  serverArray_.clear();

  setTitle(kTitle);
  const std::weak_ptr<AllControllerTable> weak = std::static_pointer_cast<AllControllerTable>(shared_from_this());
  navigationItem().setRightBarButtonItem(BarButtonItemExt::defaultNavBarButtonItem("Save", this, [weak](ui::Control&) {
    if (auto me = weak.lock()) me->save();
  }));

  classifyView_ = ClassifyView::initWithFrame(Rect{0, 0, 320, 46}, {"我的信用卡", "特惠商城", "手机银行", "生活服务"});
  classifyView_->delegate = [weak](unsigned tab) {
    if (auto me = weak.lock()) me->selectTheClassify(tab);
  };
  view()->addSubview(classifyView_);

  serverArray_ = ServiceGroupEntity::storedServices();
  nowArray_ = localArray_.empty() ? HomeBoxList{} : localArray_.front();
  for (const auto& box : items_) {
    existDic_[box->title()] = std::any_of(existArray_.begin(), existArray_.end(),
                                          [&](const auto& e) { return e->busId() == box->busId(); });
  }

  const Rect bounds = view()->frame();
  allCtrTable_ = ui::TableView::create(Rect{0, 44, bounds.width, bounds.height - 44}, ui::TableViewStyle::Plain);
  allCtrTable_->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
  allCtrTable_->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(std::static_pointer_cast<AllControllerTable>(shared_from_this())));
  allCtrTable_->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(std::static_pointer_cast<AllControllerTable>(shared_from_this())));
  view()->addSubview(allCtrTable_);
}

std::shared_ptr<ui::View> AllControllerTable::tickView(bool ticked) {
  auto tick = ticked ? ui::ImageView::create(NVXImage::imageNamed(kSelectedImage))
                     : ui::ImageView::create(ui::Image::named(kUnselectedImage));
  tick->setFrame(Rect{0, 0, 30, 30});
  return tick;
}

int AllControllerTable::numberOfRows(ui::TableView&, int) { return static_cast<int>(nowArray_.size()); }

std::optional<double> AllControllerTable::heightForRow(ui::TableView&, ui::IndexPath) {
  return CommonMoveCell::kRowHeight;
}

std::shared_ptr<ui::TableViewCell> AllControllerTable::cellForRow(ui::TableView&, ui::IndexPath path) {
  auto cell = CommonMoveCell::initWithReuseIdentifier("Cell");
  if (path.row < 0 || static_cast<size_t>(path.row) >= nowArray_.size()) return cell;
  const auto& box = nowArray_[static_cast<size_t>(path.row)];
  auto mark = existDic_.find(box->title());
  const bool ticked = mark != existDic_.end() && mark->second;
  cell->setAccessoryType(ui::TableViewCellAccessoryType::Checkmark);
  cell->setAccessoryView(tickView(ticked));
  cell->setIsSelect(ticked);
  cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
  cell->resetImageView();
  cell->fillRow(*box, serverArray_, tipDic_, updateTipDic_);
  cell->addLine();
  return cell;
}

std::shared_ptr<HomeBoxData> AllControllerTable::getTheHomeBoxDataByBusid(const std::string& busId) const {
  for (const auto& box : items_) {
    if (box->busId() == busId) return box;
  }
  return nullptr;
}

void AllControllerTable::didSelectRow(ui::TableView& table, ui::IndexPath path) {
  if (path.row < 0 || static_cast<size_t>(path.row) >= nowArray_.size()) return;
  const auto box = nowArray_[static_cast<size_t>(path.row)];
  auto cell = std::dynamic_pointer_cast<CommonMoveCell>(table.cellForRow(path));
  const bool ticked = cell ? cell->isSelect() : existDic_[box->title()];
  existDic_[box->title()] = !ticked;
  if (cell) {
    cell->setAccessoryView(tickView(!ticked));
    cell->setIsSelect(!ticked);
  }
  if (ticked) {
    deleteBoxData(existArray_, box->title());
  } else if (getTheHomeBoxDataByBusid(box->busId())) {
    insertTampArray(existArray_, box);
  }
}

void AllControllerTable::resetExistArray() {
  HomeBoxList added;
  for (const auto& box : existArray_) {
    if (!holdsTitle(compareArray_, box->title())) added.push_back(box);
  }
  HomeBoxList removed;
  for (const auto& box : compareArray_) {
    if (!holdsTitle(existArray_, box->title())) removed.push_back(box);
  }
  for (const auto& box : removed) deleteBoxData(compareArray_, box->title());
  for (const auto& box : added) insertTampArray(compareArray_, box);
}

void AllControllerTable::save() {
  resetExistArray();
  if (delegate) delegate(compareArray_);
  dismissModal(true);
}

void AllControllerTable::backButtonPressed() { dismissModal(true); }

void AllControllerTable::selectTheClassify(unsigned tab) {
  if (tab >= localArray_.size()) return;
  nowArray_ = localArray_[tab];
  if (allCtrTable_) allCtrTable_->reloadData();
}

}  // namespace nvx
