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
    for (auto& c : s.cells) forgetCell(*c);
  }
  sections_.clear();
}

void TableView::forgetCell(TableViewCell& cell) {
  if (cell.superview().get() == this) cell.removeFromSuperview();
  cell.table_.reset();
  cell.indexPath_.reset();
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

std::shared_ptr<View> TableView::sectionEnd(TableViewDataSource& source, int section, bool footer, double& height) {
  auto d = delegate_.lock();
  const bool grouped = style_ == TableViewStyle::Grouped;
  const double w = frame().width;
  std::shared_ptr<View> view = d ? (footer ? d->viewForFooter(*this, section) : d->viewForHeader(*this, section)) : nullptr;
  std::optional<std::string> title;
  if (!view) title = footer ? source.titleForFooter(*this, section) : source.titleForHeader(*this, section);
  height = headerHeight(section, view, title, footer);
  if (view) {
    view->setFrame(Rect{0, 0, w, height});
  } else if (title && !title->empty()) {
    // A title becomes a label across the header; place() sets its top.
    const double inset = grouped ? 20 : 10;
    auto label = Label::create(Rect{inset, 0, std::max(0.0, w - 2 * inset), height}, *title);
    label->setFont(Font::boldSystem(grouped ? 17 : 18));
    view = label;
  }
  return view;
}

std::shared_ptr<TableViewCell> TableView::buildCell(TableViewDataSource& source, IndexPath path, double& height) {
  auto cell = source.cellForRow(*this, path);
  if (!cell) {
    log::error("TableView", "the data source gave no cell for row " + std::to_string(path.row) + " of section " +
                                std::to_string(path.section) + "; an empty cell stands in");
    cell = TableViewCell::create();
  }
  height = rowHeight_;
  if (auto d = delegate_.lock()) height = d->heightForRow(*this, path).value_or(rowHeight_);
  height = std::max(0.0, height);
  cell->table_ = std::static_pointer_cast<TableView>(weak_from_this().lock());
  cell->indexPath_ = path;
  cell->setSelected(false);
  // Its width is set here so that place() lays it out once; place() sets its top.
  const double w = frame().width;
  cell->setFrame(style_ == TableViewStyle::Grouped ? Rect{10, 0, std::max(0.0, w - 20), height} : Rect{0, 0, w, height});
  cell->setNeedsLayout();
  return cell;
}

void TableView::place(size_t fromSection, size_t fromRow) {
  const double w = frame().width;
  double y = 0;
  if (fromSection >= sections_.size()) {
    fromSection = sections_.size();
    fromRow = 0;
  }
  if (fromRow > 0) {
    y = sections_[fromSection].rects[fromRow - 1].maxY();
  } else if (fromSection > 0) {
    const Section& before = sections_[fromSection - 1];
    y = before.top + before.headerHeight + before.rowsHeight() + before.footerHeight;
  } else if (headerView_) {
    Rect f = headerView_->frame();
    headerView_->setFrame(Rect{0, 0, w, f.height});
    y = f.height;
  }
  auto moveTo = [](const std::shared_ptr<View>& view, double top) {
    if (!view) return;
    Rect f = view->frame();
    if (f.y != top) {
      f.y = top;
      view->setFrame(f);
    }
  };
  for (size_t s = fromSection; s < sections_.size(); ++s) {
    Section& sec = sections_[s];
    size_t r = 0;
    if (s == fromSection && fromRow > 0) {
      r = fromRow;
    } else {
      sec.top = y;
      moveTo(sec.header, y);
      y += sec.headerHeight;
    }
    for (; r < sec.cells.size(); ++r) {
      Rect& rect = sec.rects[r];
      rect.y = y;
      moveTo(sec.cells[r], y);
      sec.cells[r]->layoutIfNeeded();
      y += rect.height;
    }
    moveTo(sec.footer, y);
    y += sec.footerHeight;
  }
  if (footerView_) {
    Rect f = footerView_->frame();
    footerView_->setFrame(Rect{0, y, w, f.height});
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
}

double TableView::Section::rowsHeight() const { return rects.empty() ? 0 : rects.back().maxY() - rects.front().y; }

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
  if (headerView_) addSubview(headerView_);
  int count = source ? std::max(0, source->numberOfSections(*this).value_or(1)) : 0;
  for (int s = 0; s < count; ++s) {
    sections_.push_back(buildSection(*source, s));
    addSectionViews(sections_.back(), subviews().size());
  }
  if (footerView_) addSubview(footerView_);
  place(0, 0);
  loading_ = false;
  if (auto d = delegate_.lock()) {
    for (auto& sec : sections_) {
      for (auto& cell : sec.cells) {
        if (cell->indexPath_) d->willDisplayCell(*this, *cell, *cell->indexPath_);
      }
    }
  }
}

TableView::Section TableView::buildSection(TableViewDataSource& source, int s) {
  Section sec;
  sec.header = sectionEnd(source, s, false, sec.headerHeight);
  int rows = std::max(0, source.numberOfRows(*this, s));
  for (int r = 0; r < rows; ++r) {
    double h = 0;
    sec.cells.push_back(buildCell(source, IndexPath{s, r}, h));
    sec.rects.push_back(Rect{sec.cells.back()->frame().x, 0, sec.cells.back()->frame().width, h});
  }
  sec.footer = sectionEnd(source, s, true, sec.footerHeight);
  return sec;
}

size_t TableView::addSectionViews(const Section& sec, size_t at) {
  auto add = [&](const std::shared_ptr<View>& view) {
    if (!view) return;
    insertSubview(view, at);
    at = std::min(at, subviews().size() - 1) + 1;
  };
  add(sec.header);
  for (const auto& cell : sec.cells) add(cell);
  add(sec.footer);
  return at;
}

size_t TableView::subviewIndexAfter(size_t section, size_t row) const {
  // The nearest built view before (section, row), searched from the end: rows are mostly added
  // at the end of a list.
  const View* before = nullptr;
  for (size_t s = section + 1; s-- > 0 && !before;) {
    const Section& sec = sections_[s];
    size_t r = s == section ? row : sec.cells.size();
    if (s != section && sec.footer) {
      before = sec.footer.get();
    } else if (r > 0) {
      before = sec.cells[r - 1].get();
    } else if (sec.header) {
      before = sec.header.get();
    }
  }
  if (!before) before = headerView_.get();
  const auto& views = subviews();
  if (before) {
    for (size_t i = views.size(); i-- > 0;) {
      if (views[i].get() == before) return i + 1;
    }
  }
  return backgroundView_ && !views.empty() && views.front() == backgroundView_ ? 1 : 0;
}

bool TableView::agreesWithDataSource(TableViewDataSource& source, const std::vector<int>& rowChange) {
  const int count = std::max(0, source.numberOfSections(*this).value_or(1));
  bool agrees = count == static_cast<int>(sections_.size());
  for (size_t s = 0; agrees && s < sections_.size(); ++s) {
    agrees = std::max(0, source.numberOfRows(*this, static_cast<int>(s))) ==
             static_cast<int>(sections_[s].cells.size()) + rowChange[s];
  }
  if (!agrees) log::error("TableView", "the data source does not agree with the update; the table is reloaded");
  return agrees;
}

void TableView::renumber(size_t section, size_t fromRow) {
  auto& cells = sections_[section].cells;
  for (size_t r = fromRow; r < cells.size(); ++r) cells[r]->indexPath_ = IndexPath{static_cast<int>(section), static_cast<int>(r)};
}

std::optional<std::map<int, std::vector<int>>> TableView::rowsBySection(const std::vector<IndexPath>& rows,
                                                                        int extraRows) const {
  std::map<int, std::vector<int>> bySection;
  for (const IndexPath& p : rows) {
    if (p.section < 0 || p.section >= static_cast<int>(sections_.size()) || p.row < 0) return std::nullopt;
    if (p.row >= static_cast<int>(sections_[static_cast<size_t>(p.section)].cells.size()) + extraRows) return std::nullopt;
    bySection[p.section].push_back(p.row);
  }
  for (auto& [section, list] : bySection) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
  }
  return bySection;
}

bool TableView::readyForEdit(bool nothingToDo) {
  if (loaded_ && !loading_ && !nothingToDo) return true;
  if (!loading_) loadIfNeeded();   // a table not built yet builds from its data source at once
  return false;
}

void TableView::finishEdit(size_t fromSection, size_t fromRow, const std::vector<std::shared_ptr<TableViewCell>>& shown) {
  place(fromSection, fromRow);
  loading_ = false;
  if (auto d = delegate_.lock()) {
    for (auto& cell : shown) {
      if (cell->indexPath_) d->willDisplayCell(*this, *cell, *cell->indexPath_);
    }
  }
}

void TableView::insertRows(const std::vector<IndexPath>& rows, TableViewRowAnimation) {
  assertMainThread();
  if (!readyForEdit(rows.empty())) return;
  auto keep = weak_from_this().lock();
  auto source = dataSource_.lock();
  auto bySection = rowsBySection(rows, static_cast<int>(rows.size()));
  std::vector<int> change(sections_.size(), 0);
  if (bySection) {
    for (const auto& [section, list] : *bySection) change[static_cast<size_t>(section)] = static_cast<int>(list.size());
  }
  if (!source || !bySection || !agreesWithDataSource(*source, change)) return reloadData();
  loading_ = true;
  std::vector<std::shared_ptr<TableViewCell>> added;
  size_t firstSection = sections_.size();
  size_t firstRow = 0;
  for (const auto& [section, list] : *bySection) {
    const auto s = static_cast<size_t>(section);
    Section& sec = sections_[s];
    if (static_cast<size_t>(list.back()) >= sec.cells.size() + list.size()) {
      loading_ = false;
      return reloadData();
    }
    for (int row : list) {
      const auto r = static_cast<size_t>(row);
      double h = 0;
      auto cell = buildCell(*source, IndexPath{section, row}, h);
      const auto at = static_cast<std::ptrdiff_t>(r);
      insertSubview(cell, subviewIndexAfter(s, r));
      sec.cells.insert(sec.cells.begin() + at, cell);
      sec.rects.insert(sec.rects.begin() + at, Rect{cell->frame().x, 0, cell->frame().width, h});
      if (selected_ && selected_->section == section && selected_->row >= row) ++selected_->row;
      added.push_back(cell);
    }
    renumber(s, static_cast<size_t>(list.front()));
    if (s < firstSection) {
      firstSection = s;
      firstRow = static_cast<size_t>(list.front());
    }
  }
  finishEdit(firstSection, firstRow, added);
}

void TableView::deleteRows(const std::vector<IndexPath>& rows, TableViewRowAnimation) {
  assertMainThread();
  if (!readyForEdit(rows.empty())) return;
  auto keep = weak_from_this().lock();
  auto source = dataSource_.lock();
  auto bySection = rowsBySection(rows, 0);
  std::vector<int> change(sections_.size(), 0);
  if (bySection) {
    for (const auto& [section, list] : *bySection) change[static_cast<size_t>(section)] = -static_cast<int>(list.size());
  }
  if (!source || !bySection || !agreesWithDataSource(*source, change)) return reloadData();
  size_t firstSection = sections_.size();
  size_t firstRow = 0;
  for (const auto& [section, list] : *bySection) {
    const auto s = static_cast<size_t>(section);
    Section& sec = sections_[s];
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
      const auto at = static_cast<std::ptrdiff_t>(*it);
      forgetCell(*sec.cells[static_cast<size_t>(*it)]);
      sec.cells.erase(sec.cells.begin() + at);
      sec.rects.erase(sec.rects.begin() + at);
      if (selected_ && selected_->section == section) {
        if (selected_->row == *it) {
          selected_.reset();
        } else if (selected_->row > *it) {
          --selected_->row;
        }
      }
    }
    renumber(s, static_cast<size_t>(list.front()));
    if (s < firstSection) {
      firstSection = s;
      firstRow = static_cast<size_t>(list.front());
    }
  }
  place(firstSection, firstRow);
}

void TableView::reloadRows(const std::vector<IndexPath>& rows, TableViewRowAnimation) {
  assertMainThread();
  if (!readyForEdit(rows.empty())) return;
  auto keep = weak_from_this().lock();
  auto source = dataSource_.lock();
  auto bySection = rowsBySection(rows, 0);
  if (!source || !bySection || !agreesWithDataSource(*source, std::vector<int>(sections_.size(), 0))) return reloadData();
  loading_ = true;
  std::vector<std::shared_ptr<TableViewCell>> rebuilt;
  size_t firstSection = sections_.size();
  size_t firstRow = 0;
  for (const auto& [section, list] : *bySection) {
    const auto s = static_cast<size_t>(section);
    Section& sec = sections_[s];
    for (int row : list) {
      const auto r = static_cast<size_t>(row);
      double h = 0;
      auto cell = buildCell(*source, IndexPath{section, row}, h);
      insertSubview(cell, subviewIndexAfter(s, r));
      forgetCell(*sec.cells[r]);
      sec.cells[r] = cell;
      sec.rects[r] = Rect{cell->frame().x, 0, cell->frame().width, h};
      if (selected_ == IndexPath{section, row}) selected_.reset();   // the new cell is not selected
      rebuilt.push_back(cell);
    }
    if (s < firstSection) {
      firstSection = s;
      firstRow = static_cast<size_t>(list.front());
    }
  }
  finishEdit(firstSection, firstRow, rebuilt);
}

void TableView::reloadSections(const std::vector<int>& sections, TableViewRowAnimation) {
  assertMainThread();
  if (!readyForEdit(sections.empty())) return;
  auto keep = weak_from_this().lock();
  auto source = dataSource_.lock();
  std::vector<int> list(sections);
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
  const bool valid = source && list.front() >= 0 && list.back() < static_cast<int>(sections_.size()) &&
                     std::max(0, source->numberOfSections(*this).value_or(1)) == static_cast<int>(sections_.size());
  if (!valid) return reloadData();
  loading_ = true;
  for (int section : list) {
    const auto s = static_cast<size_t>(section);
    Section& old = sections_[s];
    const size_t at = subviewIndexAfter(s, 0) - (old.header ? 1 : 0);
    if (old.header && old.header->superview().get() == this) old.header->removeFromSuperview();
    if (old.footer && old.footer->superview().get() == this) old.footer->removeFromSuperview();
    for (auto& cell : old.cells) forgetCell(*cell);
    if (selected_ && selected_->section == section) selected_.reset();
    old = buildSection(*source, section);
    addSectionViews(old, std::min(at, subviews().size()));
  }
  std::vector<std::shared_ptr<TableViewCell>> rebuilt;
  for (int section : list) {
    const auto& cells = sections_[static_cast<size_t>(section)].cells;
    rebuilt.insert(rebuilt.end(), cells.begin(), cells.end());
  }
  finishEdit(static_cast<size_t>(list.front()), 0, rebuilt);
}

void TableView::loadIfNeeded() {
  if (!loaded_ && !dataSource_.expired()) reloadData();
}

void TableView::layoutSubviews() {
  // The first layout loads the table; a new width lays it out again.
  if (loaded_ ? frame().width != loadedWidth_ : !dataSource_.expired()) reloadData();
}

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
  if (cell.table_.lock().get() == this && cell.indexPath_ && exists(*cell.indexPath_) &&
      sections_[static_cast<size_t>(cell.indexPath_->section)].cells[static_cast<size_t>(cell.indexPath_->row)].get() == &cell) {
    return cell.indexPath_;
  }
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
