// A horizontally paged grid of box tiles, 4 x 4 cells a page, with page dots. It runs the page's
// edit mode, removes a tile by its remove button, lets movable tiles be dragged to another cell
// (scrolling at the page edges), moves a tile to the first place or deletes one on command, and
// finds boxes and tiles by business code. The home screen makes one grid per page and is its
// delegate.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXPageControl.h"
#include "home/HomeBoxItem.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"

namespace nvx {

class HomeBoxView;

class HomeBoxViewDelegate {
 public:
  virtual ~HomeBoxViewDelegate() = default;
  virtual void selectHomeBoxItem(HomeBoxItem& item) = 0;
  virtual void longPressItem(HomeBoxItem& item, HomeBoxView& view) = 0;
  // After a tile was removed by its remove button.
  virtual void deleteBoxItem(HomeBoxItem& /*item*/, HomeBoxView& /*view*/) {}
  // Part of the interface; the grid never sends it.
  virtual void moveToMenuList() {}
};

class HomeBoxView : public platform::ui::View, public HomeBoxItemDelegate {
 public:
  static constexpr int kColumns = 4;
  static constexpr int kRows = 4;
  static constexpr int kCellsPerPage = 16;
  static constexpr double kColumnPitch = 80;
  static constexpr double kRowPitch = 86;
  static constexpr double kPageWidth = 320;
  // Tiles from the 54th on stay in the list and are never shown.
  static constexpr size_t kMostTilesShown = 53;
  static constexpr double kMoveDuration = 0.2;
  // A finger this close to either side of the grid scrolls to the next page.
  static constexpr double kEdge = 15;

  static std::shared_ptr<HomeBoxView> initWithFrame(platform::ui::Rect frame, const HomeBoxList& withItems);
  HomeBoxView();

  void reloadItems(const HomeBoxList& items);
  void setEditStatu();
  void setToFirstLocation(size_t location);
  void deleteAppointItem(size_t index);
  std::shared_ptr<HomeBoxData> getHomeBoxDataWithBusid(const std::string& busid) const;
  std::shared_ptr<HomeBoxItem> getHomeBoxItemByBusid(const std::string& busid) const;
  void updateTipsWithDictionary(const std::map<std::string, std::string>& tips);
  void resetItemLocation(const HomeBoxList& items);
  void addAdView(const std::shared_ptr<platform::ui::View>& view);
  int calculateWithIndex(int position) const;

  // A one-finger tap on the grid; the recogniser takes it only on the scroll view itself.
  void handleSingleTap(const platform::ui::View& touched);

  // --- internals, public for the tests that check the cell arithmetic ---
  platform::ui::Point orginPointOfIndex(int position) const;
  // The position under a point of the scroll view's content, or nothing.
  std::optional<int> indexOfLocation(platform::ui::Point location) const;
  void exchangeItem(int item, int withposition);
  bool itemIsSameLocation(platform::ui::Point origin) const;
  void resetScrollerSize();

  // --- HomeBoxItemDelegate ---
  void HomeItemDidClicked(HomeBoxItem& item) override;
  void HomeItemDidEnterEditingMode(HomeBoxItem& item) override;
  void HomeItemDidDeleted(HomeBoxItem& item, int atIndex) override;
  void HomeItemDidMoved(HomeBoxItem& item, platform::ui::Point withLocation,
                        const HomeLongPress& moveGestureRecognizer) override;
  void HomeItemDidEndMoved(HomeBoxItem& item, platform::ui::Point withLocation,
                           const HomeLongPress& moveGestureRecognizer) override;

  const std::shared_ptr<platform::ui::ScrollView>& pagesScrollView() const { return pagesScrollView_; }
  std::shared_ptr<HomeBoxViewDelegate> homeBoxViewDelegate() const { return delegate_.lock(); }
  void setHomeBoxViewDelegate(std::weak_ptr<HomeBoxViewDelegate> d) { delegate_ = std::move(d); }
  int allDoubleSize() const { return allDoubleSize_; }
  const HomeBoxList& allBusinessArray() const { return allBusinessArray_; }
  const std::vector<std::shared_ptr<HomeBoxItem>>& homeItems() const { return homeItems_; }
  const std::shared_ptr<NVXPageControl>& pagecontrol() const { return pagecontrol_; }
  bool isEditing() const { return isEditing_; }

  std::string kind() const override { return "HomeBoxView"; }

 private:
  void Addbutton();
  void retsetPageControl(int pages);
  void pageChanged();
  int doubleSizeBefore(size_t position) const;
  platform::ui::Point cellOrigin(int cell) const;
  void leaveEditing();
  int pageCount(size_t items) const;
  std::shared_ptr<HomeBoxView> self() { return std::static_pointer_cast<HomeBoxView>(shared_from_this()); }

  HomeBoxList allBusinessArray_;
  std::vector<std::shared_ptr<HomeBoxItem>> homeItems_;
  std::shared_ptr<platform::ui::ScrollView> pagesScrollView_;
  std::shared_ptr<NVXPageControl> pagecontrol_;
  bool isEditing_ = false;
  int allDoubleSize_ = 0;
  std::weak_ptr<HomeBoxViewDelegate> delegate_;
};

}  // namespace nvx
