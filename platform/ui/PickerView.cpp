#include "platform/ui/PickerView.h"

#include <algorithm>
#include <functional>

#include "platform/ui/MainThread.h"
#include "platform/ui/Touches.h"

namespace platform::ui {
namespace {

std::optional<std::string> firstText(const View& v) {
  if (auto t = v.displayText(); t && !t->empty()) return t;
  for (const auto& sub : v.subviews()) {
    if (auto t = firstText(*sub)) return t;
  }
  return std::nullopt;
}

}  // namespace

PickerView::PickerView(Rect frame) : View(frame) {}

std::shared_ptr<PickerView> PickerView::create(Rect frame) { return std::make_shared<PickerView>(frame); }

void PickerView::setDataSource(std::weak_ptr<PickerViewDataSource> dataSource) {
  dataSource_ = std::move(dataSource);
  loaded_ = false;
  setNeedsLayout();
}

void PickerView::setDelegate(std::weak_ptr<PickerViewDelegate> delegate) {
  delegate_ = std::move(delegate);
  loaded_ = false;
  setNeedsLayout();
}

PickerView::Column PickerView::buildColumn(int component, int keepSelected) {
  Column col;
  auto source = dataSource_.lock();
  auto d = delegate_.lock();
  int rows = source ? std::max(0, source->numberOfRows(*this, component)) : 0;
  for (int r = 0; r < rows; ++r) {
    std::shared_ptr<View> view = d ? d->viewForRow(*this, r, component, nullptr) : nullptr;
    std::optional<std::string> title = d ? d->titleForRow(*this, r, component) : std::nullopt;
    if (!title && view) title = firstText(*view);
    col.titles.push_back(title.value_or(""));
    col.views.push_back(view);
  }
  col.selected = rows == 0 ? -1 : std::clamp(keepSelected, 0, rows - 1);
  return col;
}

void PickerView::reloadAllComponents() {
  assertMainThread();
  auto keep = weak_from_this().lock();
  std::vector<int> before;
  for (const auto& c : columns_) before.push_back(c.selected);
  loaded_ = true;
  auto source = dataSource_.lock();
  int n = source ? std::max(0, source->numberOfComponents(*this)) : 0;
  std::vector<Column> cols;
  for (int c = 0; c < n; ++c) {
    int old = static_cast<size_t>(c) < before.size() ? before[static_cast<size_t>(c)] : 0;
    cols.push_back(buildColumn(c, old));
  }
  columns_ = std::move(cols);
}

void PickerView::reloadComponent(int component) {
  loadIfNeeded();
  if (component < 0 || component >= static_cast<int>(columns_.size())) return;
  auto& col = columns_[static_cast<size_t>(component)];
  col = buildColumn(component, col.selected);
}

void PickerView::loadIfNeeded() {
  if (!loaded_ && !dataSource_.expired()) reloadAllComponents();
}

void PickerView::layoutSubviews() { loadIfNeeded(); }

int PickerView::numberOfComponents() {
  loadIfNeeded();
  return static_cast<int>(columns_.size());
}

int PickerView::numberOfRows(int component) {
  loadIfNeeded();
  if (component < 0 || component >= static_cast<int>(columns_.size())) return 0;
  return static_cast<int>(columns_[static_cast<size_t>(component)].titles.size());
}

std::string PickerView::titleForRow(int row, int component) {
  if (row < 0 || row >= numberOfRows(component)) return {};
  return columns_[static_cast<size_t>(component)].titles[static_cast<size_t>(row)];
}

std::shared_ptr<View> PickerView::viewForRow(int row, int component) {
  if (row < 0 || row >= numberOfRows(component)) return nullptr;
  return columns_[static_cast<size_t>(component)].views[static_cast<size_t>(row)];
}

double PickerView::rowHeight(int component) {
  if (auto d = delegate_.lock()) return d->rowHeightForComponent(*this, component).value_or(kRowHeight);
  return kRowHeight;
}

int PickerView::selectedRow(int component) {
  loadIfNeeded();
  if (component < 0 || component >= static_cast<int>(columns_.size())) return -1;
  return columns_[static_cast<size_t>(component)].selected;
}

void PickerView::selectRow(int row, int component, bool /*animated*/) {
  if (row < 0 || row >= numberOfRows(component)) return;
  columns_[static_cast<size_t>(component)].selected = row;
}

bool PickerView::spinTo(int row, int component) {
  assertMainThread();
  if (row < 0 || row >= numberOfRows(component) || !Touches::reach(*this)) return false;
  auto keep = weak_from_this().lock();
  columns_[static_cast<size_t>(component)].selected = row;
  if (auto d = delegate_.lock()) d->didSelectRow(*this, row, component);
  return true;
}

std::optional<std::string> PickerView::displayText() const {
  if (columns_.empty()) return std::nullopt;
  std::string out;
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (c > 0) out += " | ";
    const auto& col = columns_[c];
    if (col.selected >= 0) out += col.titles[static_cast<size_t>(col.selected)];
  }
  return out;
}

}  // namespace platform::ui
