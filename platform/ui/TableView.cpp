#include "platform/ui/TableView.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/ui/Label.h"
#include "platform/ui/MainThread.h"

namespace platform::ui {

TableView::TableView(Rect frame, TableViewStyle style) : ScrollView(frame), style_(style) {}

std::shared_ptr<TableView> TableView::create(Rect frame, TableViewStyle style) {
  return std::make_shared<TableView>(frame, style);
}

void TableView::setDataSource(std::weak_ptr<TableViewDataSource> dataSource) {
  dataSource_ = std::move(dataSource);
  loaded_ = false;   // loads again at the next layout or query
  setNeedsLayout();
}

void TableView::setDelegate(std::weak_ptr<TableViewDelegate> delegate) {
  delegate_ = std::move(delegate);
  loaded_ = false;
  setNeedsLayout();
}

void TableView::setTableHeaderView(std::shared_ptr<View> view) {
  if (headerView_ && headerView_ != view && headerView_->superview().get() == this) headerView_->removeFromSuperview();
  headerView_ = std::move(view);
  if (loaded_) reloadData();
}

void TableView::setTableFooterView(std::shared_ptr<View> view) {
  if (footerView_ && footerView_ != view && footerView_->superview().get() == this) footerView_->removeFromSuperview();
  footerView_ = std::move(view);
  if (loaded_) reloadData();
}

void TableView::setBackgroundView(std::shared_ptr<View> view) {
  if (backgroundView_ && backgroundView_ != view && backgroundView_->superview().get() == this) {
    backgroundView_->removeFromSuperview();
  }
  backgroundView_ = std::move(view);
  if (backgroundView_) {
    backgroundView_->setFrame(Rect{contentOffset().x, contentOffset().y, frame().width, frame().height});
    insertSubview(backgroundView_, 0);
  }
}

void TableView::clearBuilt() {
  for (auto& s : sections_) {
    if (s.header && s.header->superview().get() == this) s.header->removeFromSuperview();
    if (s.footer && s.footer->superview().get() == this) s.footer->removeFromSuperview();
    for (auto& c : s.cells) {
      if (c->superview().get() == this) c->removeFromSuperview();
      c->table_.reset();
      c->indexPath_.reset();
    }
  }
  sections_.clear();
}

double TableView::headerHeight(int section, const std::shared_ptr<View>& view, const std::optional<std::string>& title,
                               bool footer) {
  bool grouped = style_ == TableViewStyle::Grouped;
  if (auto d = delegate_.lock()) {
    auto h = footer ? d->heightForFooter(*this, section) : d->heightForHeader(*this, section);
    if (h && (!grouped || *h > 0)) return std::max(0.0, *h);
  }
  if (view) return view->frame().height;
  if (title && !title->empty()) return grouped ? (footer ? 36 : 46) : 22;
  return grouped ? 10 : 0;
}

void TableView::reloadData() {
  assertMainThread();
  if (loading_) return;   // a data source that reloads from cellForRow
  auto keep = weak_from_this().lock();
  loading_ = true;
  clearBuilt();
  selected_.reset();
  loaded_ = true;
  loadedWidth_ = frame().width;
  auto source = dataSource_.lock();
  auto d = delegate_.lock();
  const bool grouped = style_ == TableViewStyle::Grouped;
  const double w = frame().width;
  double y = 0;
  if (headerView_) {
    Rect f = headerView_->frame();
    headerView_->setFrame(Rect{0, y, w, f.height});
    addSubview(headerView_);
    y += f.height;
  }
  int count = source ? std::max(0, source->numberOfSections(*this).value_or(1)) : 0;
  auto titleView = [&](const std::optional<std::string>& title, double top, double height) -> std::shared_ptr<View> {
    if (!title || title->empty()) return nullptr;
    double inset = grouped ? 20 : 10;
    auto label = Label::create(Rect{inset, top, std::max(0.0, w - 2 * inset), height}, *title);
    label->setFont(Font::boldSystem(grouped ? 17 : 18));
    return label;
  };
  for (int s = 0; s < count; ++s) {
    Section sec;
    // Header.
    std::shared_ptr<View> hv = d ? d->viewForHeader(*this, s) : nullptr;
    std::optional<std::string> ht = hv ? std::nullopt : source->titleForHeader(*this, s);
    double hh = headerHeight(s, hv, ht, false);
    sec.header = hv ? hv : titleView(ht, y, hh);
    if (hv) hv->setFrame(Rect{0, y, w, hh});
    if (sec.header) addSubview(sec.header);
    y += hh;
    // Rows.
    int rows = std::max(0, source->numberOfRows(*this, s));
    for (int r = 0; r < rows; ++r) {
      IndexPath path{s, r};
      auto cell = source->cellForRow(*this, path);
      if (!cell) {
        log::error("TableView", "the data source gave no cell for row " + std::to_string(r) + " of section " +
                                    std::to_string(s) + "; an empty cell stands in");
        cell = TableViewCell::create();
      }
      double rh = rowHeight_;
      if (d) rh = d->heightForRow(*this, path).value_or(rowHeight_);
      rh = std::max(0.0, rh);
      Rect rect = grouped ? Rect{10, y, std::max(0.0, w - 20), rh} : Rect{0, y, w, rh};
      cell->table_ = std::static_pointer_cast<TableView>(weak_from_this().lock());
      cell->indexPath_ = path;
      cell->setSelected(false);
      cell->setFrame(rect);
      addSubview(cell);
      cell->setNeedsLayout();
      cell->layoutIfNeeded();
      sec.cells.push_back(cell);
      sec.rects.push_back(rect);
      y += rh;
    }
    // Footer.
    std::shared_ptr<View> fv = d ? d->viewForFooter(*this, s) : nullptr;
    std::optional<std::string> ft = fv ? std::nullopt : source->titleForFooter(*this, s);
    double fh = headerHeight(s, fv, ft, true);
    sec.footer = fv ? fv : titleView(ft, y, fh);
    if (fv) fv->setFrame(Rect{0, y, w, fh});
    if (sec.footer) addSubview(sec.footer);
    y += fh;
    sections_.push_back(std::move(sec));
  }
  if (footerView_) {
    Rect f = footerView_->frame();
    footerView_->setFrame(Rect{0, y, w, f.height});
    addSubview(footerView_);
    y += f.height;
  }
  setContentSize(Size{w, y});
  Point o = contentOffset();
  Point clamped = clamp(o);
  if (clamped.y < o.y) setContentOffset(Point{o.x, clamped.y});
  if (backgroundView_) {
    backgroundView_->setFrame(Rect{contentOffset().x, contentOffset().y, w, frame().height});
    insertSubview(backgroundView_, 0);
  }
  loading_ = false;
  if (d) {
    for (auto& sec : sections_) {
      for (auto& cell : sec.cells) {
        if (cell->indexPath_) d->willDisplayCell(*this, *cell, *cell->indexPath_);
      }
    }
  }
}

void TableView::loadIfNeeded() {
  if (!loaded_ && !dataSource_.expired()) reloadData();
}

void TableView::layoutSubviews() {
  // The first layout loads the table; a new width lays it out again.
  if (loaded_ ? frame().width != loadedWidth_ : !dataSource_.expired()) reloadData();
}

void TableView::insertRows(const std::vector<IndexPath>&, TableViewRowAnimation) { reloadData(); }
void TableView::deleteRows(const std::vector<IndexPath>&, TableViewRowAnimation) { reloadData(); }
void TableView::reloadRows(const std::vector<IndexPath>&, TableViewRowAnimation) { reloadData(); }
void TableView::reloadSections(const std::vector<int>&, TableViewRowAnimation) { reloadData(); }

int TableView::numberOfSections() {
  loadIfNeeded();
  return static_cast<int>(sections_.size());
}

int TableView::numberOfRows(int section) {
  loadIfNeeded();
  if (section < 0 || section >= static_cast<int>(sections_.size())) return 0;
  return static_cast<int>(sections_[static_cast<size_t>(section)].cells.size());
}

bool TableView::exists(IndexPath p) const {
  return p.section >= 0 && p.section < static_cast<int>(sections_.size()) && p.row >= 0 &&
         p.row < static_cast<int>(sections_[static_cast<size_t>(p.section)].cells.size());
}

std::shared_ptr<TableViewCell> TableView::cellForRow(IndexPath path) {
  loadIfNeeded();
  if (!exists(path)) return nullptr;
  return sections_[static_cast<size_t>(path.section)].cells[static_cast<size_t>(path.row)];
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell& cell) {
  loadIfNeeded();
  for (size_t s = 0; s < sections_.size(); ++s) {
    for (size_t r = 0; r < sections_[s].cells.size(); ++r) {
      if (sections_[s].cells[r].get() == &cell) return IndexPath{static_cast<int>(s), static_cast<int>(r)};
    }
  }
  return std::nullopt;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells() {
  loadIfNeeded();
  std::vector<std::shared_ptr<TableViewCell>> out;
  for (const auto& s : sections_) out.insert(out.end(), s.cells.begin(), s.cells.end());
  return out;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows() {
  loadIfNeeded();
  std::vector<IndexPath> out;
  for (size_t s = 0; s < sections_.size(); ++s) {
    for (size_t r = 0; r < sections_[s].cells.size(); ++r) out.push_back(IndexPath{static_cast<int>(s), static_cast<int>(r)});
  }
  return out;
}

Rect TableView::rectForRow(IndexPath path) {
  loadIfNeeded();
  if (!exists(path)) return Rect{};
  return sections_[static_cast<size_t>(path.section)].rects[static_cast<size_t>(path.row)];
}

std::shared_ptr<View> TableView::headerViewForSection(int section) {
  loadIfNeeded();
  if (section < 0 || section >= static_cast<int>(sections_.size())) return nullptr;
  return sections_[static_cast<size_t>(section)].header;
}

void TableView::scrollToRow(IndexPath path, TableViewScrollPosition position, bool animated) {
  Rect r = rectForRow(path);
  if (r.isEmpty() && !exists(path)) return;
  double h = frame().height;
  Point o = contentOffset();
  switch (position) {
    case TableViewScrollPosition::None: scrollRectToVisible(r, animated); return;
    case TableViewScrollPosition::Top: o.y = r.y; break;
    case TableViewScrollPosition::Middle: o.y = r.midY() - h / 2; break;
    case TableViewScrollPosition::Bottom: o.y = r.maxY() - h; break;
  }
  setContentOffset(clamp(o), animated);
}

void TableView::selectRow(std::optional<IndexPath> path, bool animated, TableViewScrollPosition position) {
  loadIfNeeded();
  if (selected_ && (!path || *path != *selected_)) {
    if (auto old = cellForRow(*selected_)) old->setSelected(false, animated);
    selected_.reset();
  }
  if (!path || !exists(*path)) return;
  selected_ = path;
  cellForRow(*path)->setSelected(true, animated);
  if (position != TableViewScrollPosition::None) scrollToRow(*path, position, animated);
}

void TableView::deselectRow(IndexPath path, bool animated) {
  loadIfNeeded();
  if (auto cell = cellForRow(path)) cell->setSelected(false, animated);
  if (selected_ == path) selected_.reset();
}

bool TableView::tapRow(IndexPath path) {
  assertMainThread();
  loadIfNeeded();
  if (!exists(path) || !allowsSelection_) return false;
  auto keep = weak_from_this().lock();
  auto d = delegate_.lock();
  IndexPath target = path;
  if (d) {
    if (auto answer = d->willSelectRow(*this, path)) {
      if (!*answer || !exists(**answer)) return false;
      target = **answer;
    }
  }
  if (selected_ && *selected_ != target) {
    IndexPath old = *selected_;
    if (auto cell = cellForRow(old)) cell->setSelected(false);
    selected_.reset();
    if (d) d->didDeselectRow(*this, old);
  }
  if (!exists(target)) return false;   // the delegate reloaded the table meanwhile
  selected_ = target;
  cellForRow(target)->setSelected(true);
  if (d) d->didSelectRow(*this, target);
  return true;
}

void TableView::accessoryButtonTapped(IndexPath path) {
  auto keep = weak_from_this().lock();
  if (auto d = delegate_.lock()) d->accessoryButtonTapped(*this, path);
}

bool TableView::tapAccessory(IndexPath path) {
  auto cell = cellForRow(path);
  if (!cell || cell->accessoryView() ||
      cell->accessoryType() != TableViewCellAccessoryType::DetailDisclosureButton) {
    return false;
  }
  accessoryButtonTapped(path);
  return true;
}

bool TableView::swipeToDelete(IndexPath path) {
  assertMainThread();
  loadIfNeeded();
  if (!exists(path)) return false;
  auto keep = weak_from_this().lock();
  auto source = dataSource_.lock();
  if (!source || !source->canEditRow(*this, path).value_or(true)) return false;
  auto d = delegate_.lock();
  auto style = d ? d->editingStyleForRow(*this, path).value_or(TableViewCellEditingStyle::Delete)
                 : TableViewCellEditingStyle::Delete;
  if (style != TableViewCellEditingStyle::Delete) return false;
  return source->commitEditing(*this, TableViewCellEditingStyle::Delete, path);
}

void TableView::describeExtras(std::string& out) const {
  if (style_ == TableViewStyle::Grouped) out += " style=grouped";
  ScrollView::describeExtras(out);
}

}  // namespace platform::ui
