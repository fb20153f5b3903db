#include "home/HomeBoxView.h"

#include <algorithm>
#include <cmath>

#include "home/HomeDataUtil.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Screen.h"

namespace nvx {

using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::Size;

HomeBoxView::HomeBoxView() = default;

std::shared_ptr<HomeBoxView> HomeBoxView::initWithFrame(Rect frame, const HomeBoxList& withItems) {
  auto grid = std::make_shared<HomeBoxView>();
  grid->setFrame(frame);
  grid->allBusinessArray_ = withItems;
  for (const auto& box : withItems) {
    if (box->itemState().isDoubleSize) ++grid->allDoubleSize_;
  }
  if (withItems.size() < 5) grid->allDoubleSize_ = 1;

  auto scroll = platform::ui::ScrollView::create(Rect{0, 0, frame.width, frame.height});
  scroll->setPagingEnabled(true);
  scroll->setShowsHorizontalScrollIndicator(false);
  scroll->setShowsVerticalScrollIndicator(false);
  scroll->setBounces(true);
  scroll->setScrollsToTop(false);
  const std::weak_ptr<HomeBoxView> weak = grid;
  scroll->didScroll = [weak](platform::ui::ScrollView& view) {
    if (auto self = weak.lock(); self && self->pagecontrol_) {
      self->pagecontrol_->setCurrentPage(static_cast<int>(view.contentOffset().x / kPageWidth));
    }
  };
  grid->pagesScrollView_ = scroll;
  grid->addSubview(scroll);

  const int pages = grid->pageCount(withItems.size());
  grid->retsetPageControl(pages);
  scroll->setContentSize(Size{frame.width * pages, frame.height});
  grid->Addbutton();
  return grid;
}

int HomeBoxView::pageCount(size_t items) const {
  return static_cast<int>(std::ceil(static_cast<double>(items + static_cast<size_t>(allDoubleSize_)) / kCellsPerPage));
}

void HomeBoxView::retsetPageControl(int pages) {
  if (pagecontrol_) pagecontrol_->removeFromSuperview();
  pagecontrol_ = NVXPageControl::initWithNumberOfPages(pages);
  pagecontrol_->setCenter(Point{160, platform::ui::Screen::bounds().height - 110});
  pagecontrol_->setCurrentPage(static_cast<int>(pagesScrollView_->contentOffset().x / kPageWidth));
  pagecontrol_->setHidden(pages == 1);
  const std::weak_ptr<HomeBoxView> weak = self();
  pagecontrol_->addTarget(this, platform::ui::ControlEvent::ValueChanged, [weak](platform::ui::Control&) {
    if (auto s = weak.lock()) s->pageChanged();
  });
  addSubview(pagecontrol_);
}

void HomeBoxView::pageChanged() {
  pagesScrollView_->setContentOffset(Point{pagesScrollView_->frame().width * pagecontrol_->currentPage(), 0}, true);
}

int HomeBoxView::doubleSizeBefore(size_t position) const {
  if (allBusinessArray_.size() < 5 || position == 0) return 0;
  int n = 0;
  for (size_t i = 0; i < position && i < allBusinessArray_.size(); ++i) {
    if (allBusinessArray_[i]->itemState().isDoubleSize) ++n;
  }
  return n;
}

int HomeBoxView::calculateWithIndex(int position) const {
  if (position < 0) return 0;
  if (static_cast<size_t>(position) >= allBusinessArray_.size()) return allDoubleSize_;
  return doubleSizeBefore(static_cast<size_t>(position));
}

Point HomeBoxView::cellOrigin(int cell) const {
  const double pageWidth = pagesScrollView_ ? pagesScrollView_->frame().width : kPageWidth;
  const int page = cell / kCellsPerPage;
  const int inPage = cell % kCellsPerPage;
  return Point{pageWidth * page + kColumnPitch * (inPage % kColumns) + 10, kRowPitch * (inPage / kColumns) + 12};
}

void HomeBoxView::Addbutton() {
  const auto delegate = std::static_pointer_cast<HomeBoxItemDelegate>(self());
  const double pageWidth = pagesScrollView_->frame().width;
  for (size_t i = 0; i < allBusinessArray_.size(); ++i) {
    const auto& box = allBusinessArray_[i];
    auto tile = HomeBoxItem::initWithData(box, static_cast<int>(i), box->itemState());
    tile->setDelegate(delegate);
    homeItems_.push_back(tile);
    if (homeItems_.size() > kMostTilesShown) continue;
    if (tile->isDoubleSize()) {
      // Three columns of double-size cells; the built-in catalogue has no such box.
      const int n = allBusinessArray_.size() < 5 ? 4 : static_cast<int>(i);
      tile->setFrame(Rect{12 + kColumnPitch * (n % 3) + pageWidth * (n / kCellsPerPage), 10 + kRowPitch * ((n / 3) % 3),
                          HomeBoxItem::kDoubleWidth, HomeBoxItem::kSize});
    } else {
      const Point origin = cellOrigin(static_cast<int>(i) + doubleSizeBefore(i));
      tile->setFrame(Rect{origin.x, origin.y, HomeBoxItem::kSize, HomeBoxItem::kSize});
    }
    tile->setAlpha(1);
    pagesScrollView_->addSubview(tile);
  }
}

void HomeBoxView::resetScrollerSize() {
  const int pages = pageCount(homeItems_.size());
  pagesScrollView_->setContentSize(Size{frame().width * pages, frame().height});
  retsetPageControl(pages);
}

void HomeBoxView::reloadItems(const HomeBoxList& items) {
  allBusinessArray_ = items;
  for (const auto& tile : homeItems_) tile->removeFromSuperview();
  pagesScrollView_->setContentSize(Size{frame().width * pageCount(items.size()), frame().height});
  homeItems_.clear();
  Addbutton();
  resetScrollerSize();
}

void HomeBoxView::setEditStatu() {
  isEditing_ = true;
  for (const auto& tile : homeItems_) tile->enableEditing();
}

void HomeBoxView::leaveEditing() {
  for (const auto& tile : homeItems_) tile->disableEditing();
  isEditing_ = false;
}

void HomeBoxView::handleSingleTap(const platform::ui::View& touched) {
  if (&touched != pagesScrollView_.get()) return;
  if (isEditing_) leaveEditing();
}

void HomeBoxView::HomeItemDidClicked(HomeBoxItem& item) {
  if (isEditing_) {
    leaveEditing();
    return;
  }
  if (auto d = homeBoxViewDelegate()) d->selectHomeBoxItem(item);
}

void HomeBoxView::HomeItemDidEnterEditingMode(HomeBoxItem& item) {
  if (item.homeData()->title() == HomeDataUtil::title("Add") || item.isDoubleSize()) return;
  if (auto d = homeBoxViewDelegate()) d->longPressItem(item, *this);
}

void HomeBoxView::HomeItemDidDeleted(HomeBoxItem& item, int atIndex) {
  auto found = std::find_if(homeItems_.begin(), homeItems_.end(), [&](const auto& t) { return t.get() == &item; });
  if (found == homeItems_.end()) return;
  const auto removed = *found;   // keeps the tile alive through the delegate's call
  const size_t k = static_cast<size_t>(found - homeItems_.begin());
  (void)atIndex;
  homeItems_.erase(found);
  std::vector<Rect> before;
  for (size_t j = k; j < homeItems_.size(); ++j) before.push_back(homeItems_[j]->frame());
  const Rect removedFrame = removed->frame();
  const std::weak_ptr<HomeBoxView> weak = self();
  platform::ui::animate(kMoveDuration, [this, k, before, removedFrame] {
    for (size_t j = k; j < homeItems_.size(); ++j) {
      homeItems_[j]->setFrame(j == k ? removedFrame : before[j - k - 1]);
      homeItems_[j]->setIndex(static_cast<int>(j));
    }
  });
  removed->removeFromSuperview();
  if (auto d = homeBoxViewDelegate()) d->deleteBoxItem(*removed, *this);
}

std::optional<int> HomeBoxView::indexOfLocation(Point location) const {
  const int row = static_cast<int>(location.y / kRowPitch);
  if (row > kRows - 1) return std::nullopt;
  const int page = static_cast<int>(location.x / kPageWidth);
  const int column = static_cast<int>((location.x - kPageWidth * page) / kColumnPitch);
  if (column > kColumns - 1) return std::nullopt;
  const int position = kCellsPerPage * page + kColumns * row + column;
  if (position < 0 || static_cast<size_t>(position) >= homeItems_.size()) return std::nullopt;
  return position;
}

Point HomeBoxView::orginPointOfIndex(int position) const {
  if (position < 0 || static_cast<size_t>(position) > homeItems_.size()) return Point{0, 0};
  return cellOrigin(position + doubleSizeBefore(static_cast<size_t>(position)));
}

void HomeBoxView::exchangeItem(int item, int withposition) {
  const auto a = static_cast<size_t>(item);
  const auto b = static_cast<size_t>(withposition);
  if (a >= homeItems_.size() || b >= homeItems_.size()) return;
  const int indexA = homeItems_[a]->index();
  homeItems_[a]->setIndex(homeItems_[b]->index());
  homeItems_[b]->setIndex(indexA);
  std::swap(homeItems_[a], homeItems_[b]);
}

bool HomeBoxView::itemIsSameLocation(Point origin) const {
  return std::any_of(homeItems_.begin(), homeItems_.end(), [&](const auto& tile) {
    return tile->frame().x == origin.x && tile->frame().y == origin.y;
  });
}

void HomeBoxView::HomeItemDidMoved(HomeBoxItem& item, Point withLocation, const HomeLongPress& moveGestureRecognizer) {
  const Rect frame = item.frame();
  const Point finger{frame.x + moveGestureRecognizer.location.x, frame.y + moveGestureRecognizer.location.y};
  item.setFrame(Rect{finger.x - withLocation.x, finger.y - withLocation.y, frame.width, frame.height});
  const int p = item.index();
  const int s = indexOfLocation(finger).value_or(p);
  if (s < 0 || static_cast<size_t>(s) >= homeItems_.size()) return;
  const auto& target = homeItems_[static_cast<size_t>(s)];
  if (!item.isMoveable() || !target->isMoveable()) return;
  if (s != p) {
    pagesScrollView_->sendSubviewToBack(*target);
    const Point cell = orginPointOfIndex(p);
    platform::ui::animate(kMoveDuration, [target, cell] {
      target->setFrame(Rect{cell.x, cell.y, target->frame().width, target->frame().height});
    });
    exchangeItem(p, s);
  }
  const Point offset = pagesScrollView_->contentOffset();
  const double width = pagesScrollView_->frame().width;
  const double height = pagesScrollView_->frame().height;
  const double x = finger.x - offset.x;
  if (x >= width - kEdge) {
    pagesScrollView_->scrollRectToVisible(Rect{offset.x + width, 0, width, height}, true);
  } else if (x < kEdge) {
    pagesScrollView_->scrollRectToVisible(Rect{offset.x - width, 0, width, height}, true);
  }
}

void HomeBoxView::HomeItemDidEndMoved(HomeBoxItem& item, Point withLocation, const HomeLongPress& /*recognizer*/) {
  const Rect frame = item.frame();
  const Point finger{frame.x + withLocation.x, frame.y + withLocation.y};
  const int own = item.index();
  const int s = indexOfLocation(finger).value_or(own);
  const Point cell = orginPointOfIndex(s);
  const bool targetMovable =
      static_cast<size_t>(s) < homeItems_.size() && homeItems_[static_cast<size_t>(s)]->isMoveable();
  const Point to = (!targetMovable || itemIsSameLocation(cell)) ? orginPointOfIndex(own) : cell;
  auto tile = std::static_pointer_cast<HomeBoxItem>(item.shared_from_this());
  platform::ui::animate(kMoveDuration, [tile, to] {
    tile->setFrame(Rect{to.x, to.y, tile->frame().width, tile->frame().height});
  });
}

void HomeBoxView::setToFirstLocation(size_t location) {
  if (location >= homeItems_.size()) return;
  const auto snapshot = homeItems_;
  for (size_t c = 0; c <= location; ++c) {
    if (c == 0) {
      const auto tile = snapshot[location];
      const Point cell = cellOrigin(0);
      platform::ui::animate(kMoveDuration, [tile, cell] {
        tile->setFrame(Rect{cell.x, cell.y, tile->frame().width, tile->frame().height});
      });
      exchangeItem(static_cast<int>(location), 0);
      continue;
    }
    const size_t d = c;
    if (snapshot[c]->isDoubleSize()) ++c;   // a double-size tile keeps its cell
    if (c > location) break;
    const auto tile = snapshot[d - 1];
    const Point cell = orginPointOfIndex(static_cast<int>(c));
    platform::ui::animate(kMoveDuration, [tile, cell] {
      tile->setFrame(Rect{cell.x, cell.y, tile->frame().width, tile->frame().height});
    });
    exchangeItem(static_cast<int>(c), static_cast<int>(location));
  }
}

void HomeBoxView::deleteAppointItem(size_t index) {
  if (index >= homeItems_.size()) return;
  const auto tile = homeItems_[index];
  const std::weak_ptr<HomeBoxView> weak = self();
  platform::ui::animate(
      kMoveDuration,
      [tile] {
        const Rect f = tile->frame();
        tile->setFrame(Rect{f.midX(), f.midY(), 0, 0});
        tile->setAlpha(0);
      },
      [weak, tile](bool) {
        auto grid = weak.lock();
        if (!grid) return;
        auto& items = grid->homeItems_;
        auto at = std::find(items.begin(), items.end(), tile);
        if (at == items.end()) return;
        const size_t k = static_cast<size_t>(at - items.begin());
        for (size_t c = k + 1; c < items.size(); ++c) {
          const auto moving = items[c];
          if (moving->isDoubleSize()) continue;
          const int to = items[c - 1]->isDoubleSize() ? static_cast<int>(c) - 2 : static_cast<int>(c) - 1;
          const Point cell = grid->orginPointOfIndex(static_cast<int>(c) - 1);
          platform::ui::animate(kMoveDuration, [moving, cell, to] {
            moving->setFrame(Rect{cell.x, cell.y, moving->frame().width, moving->frame().height});
            moving->setIndex(to);
          });
        }
        tile->removeFromSuperview();
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(k));
        grid->resetScrollerSize();
        // The home screen keeps the box at position 4 of its common page in place.
        if (k <= 3 && items.size() > 4) std::swap(items[3], items[4]);
      });
}

std::shared_ptr<HomeBoxData> HomeBoxView::getHomeBoxDataWithBusid(const std::string& busid) const {
  for (const auto& box : allBusinessArray_) {
    if (box->pushIdentifier() == busid) return box;
  }
  return nullptr;
}

std::shared_ptr<HomeBoxItem> HomeBoxView::getHomeBoxItemByBusid(const std::string& busid) const {
  for (const auto& tile : homeItems_) {
    if (tile->homeData()->busId() == busid) return tile;
  }
  return nullptr;
}

void HomeBoxView::updateTipsWithDictionary(const std::map<std::string, std::string>& tips) {
  for (const auto& view : pagesScrollView_->subviews()) {
    auto tile = std::dynamic_pointer_cast<HomeBoxItem>(view);
    if (!tile) continue;
    if (auto tip = tips.find(tile->homeData()->title()); tip != tips.end()) tile->updateWithTips(tip->second);
  }
}

void HomeBoxView::resetItemLocation(const HomeBoxList& items) {
  const auto snapshot = homeItems_;
  for (size_t i = 0; i < snapshot.size(); ++i) {
    auto match = std::find_if(items.begin(), items.end(),
                              [&](const auto& box) { return box->title() == snapshot[i]->homeData()->title(); });
    if (match == items.end()) continue;
    const size_t j = static_cast<size_t>(match - items.begin());
    if (j >= snapshot.size() || j == i) continue;
    const auto a = snapshot[i];
    const auto b = snapshot[j];
    platform::ui::animate(kMoveDuration, [a, b] {
      const Rect fa = a->frame();
      a->setFrame(b->frame());
      b->setFrame(fa);
    });
    auto ia = std::find(homeItems_.begin(), homeItems_.end(), a);
    auto ib = std::find(homeItems_.begin(), homeItems_.end(), b);
    if (ia != homeItems_.end() && ib != homeItems_.end()) {
      exchangeItem(static_cast<int>(ia - homeItems_.begin()), static_cast<int>(ib - homeItems_.begin()));
    }
  }
}

void HomeBoxView::addAdView(const std::shared_ptr<platform::ui::View>& view) {
  if (homeItems_.empty()) return;
  std::shared_ptr<HomeBoxItem> host;
  if (allBusinessArray_.size() < 5) {
    host = homeItems_.back();
  } else {
    for (const auto& tile : homeItems_) {
      if (tile->isDoubleSize()) {
        host = tile;
        break;
      }
    }
  }
  if (host) host->addSubview(view);
}

}  // namespace nvx
