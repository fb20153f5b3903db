// The tile of one business box on a home page: an icon button with the box title under it, an
// optional "new" mark, tip banners and, in edit mode, a remove button. The grid that lays the tiles
// out is their delegate; it hears taps, the phases of a long press and the remove button.
#pragma once
#include <memory>
#include <string>

#include "home/HomeBoxData.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace nvx {

class HomeBoxItem;

// A long press on a tile as its recogniser reports it: the phase and the finger in the tile.
struct HomeLongPress {
  enum class State { Began, Changed, Ended, Cancelled };
  State state = State::Began;
  platform::ui::Point location;
};

class HomeBoxItemDelegate {
 public:
  virtual ~HomeBoxItemDelegate() = default;
  virtual void HomeItemDidClicked(HomeBoxItem& item) = 0;
  virtual void HomeItemDidEnterEditingMode(HomeBoxItem& item) = 0;
  virtual void HomeItemDidDeleted(HomeBoxItem& item, int atIndex) = 0;
  // withLocation: the grab offset recorded when the press began.
  virtual void HomeItemDidMoved(HomeBoxItem& item, platform::ui::Point withLocation,
                                const HomeLongPress& moveGestureRecognizer) = 0;
  // withLocation: where the press ended, in the tile.
  virtual void HomeItemDidEndMoved(HomeBoxItem& item, platform::ui::Point withLocation,
                                   const HomeLongPress& moveGestureRecognizer) = 0;
};

// The tile's icon button. It carries the box title as its accessible text, so that a user's
// assistant (and the Inspector) can find a box by the title shown under it.
class HomeBoxButton : public platform::ui::Button {
 public:
  explicit HomeBoxButton(std::string title) : title_(std::move(title)) {}
  std::optional<std::string> displayText() const override { return title_; }

 private:
  std::string title_;
};

class HomeBoxItem : public platform::ui::View {
 public:
  static constexpr double kSize = 60;
  static constexpr double kDoubleWidth = 132;
  static constexpr const char* kNewBusinessKey = "newBusiness";

  static std::shared_ptr<HomeBoxItem> initWithData(std::shared_ptr<HomeBoxData> data, int atIndex,
                                                   HomeItemState withState);
  HomeBoxItem();

  void enableEditing();
  void disableEditing();
  void showTheNewTip();
  void hideTheNewTip();
  // Adds a tip banner that fades in; nothing for an empty text. Earlier banners stay.
  void updateWithTips(const std::string& tips);
  // What the tile's long-press recogniser reports.
  void handleLongPress(const HomeLongPress& press);

  const std::shared_ptr<HomeBoxData>& homeData() const { return homeData_; }
  const std::string& targetController() const { return targetController_; }
  int index() const { return index_; }
  void setIndex(int i) { index_ = i; }
  bool isEditing() const { return isEditing_; }
  bool isRemovable() const { return isRemovable_; }
  bool isMoveable() const { return isMoveable_; }
  bool isDoubleSize() const { return isDoubleSize_; }
  platform::ui::Point point() const { return point_; }
  void setDelegate(std::weak_ptr<HomeBoxItemDelegate> d) { delegate_ = std::move(d); }
  const std::shared_ptr<platform::ui::ImageView>& tipsBackground() const { return tipsBackground_; }
  const std::shared_ptr<HomeBoxButton>& button() const { return button_; }
  // Only removable tiles have one.
  const std::shared_ptr<platform::ui::Button>& removeButton() const { return removeButton_; }
  const std::shared_ptr<platform::ui::Label>& titleLabel() const { return titleLabel_; }

  std::string kind() const override { return "HomeBoxItem"; }

 private:
  std::shared_ptr<HomeBoxItemDelegate> delegate() const { return delegate_.lock(); }

  std::shared_ptr<HomeBoxData> homeData_;
  std::string targetController_;
  int index_ = 0;
  bool isEditing_ = false;
  bool isRemovable_ = false;
  bool isMoveable_ = false;
  bool isDoubleSize_ = false;
  platform::ui::Point point_;
  std::weak_ptr<HomeBoxItemDelegate> delegate_;
  std::shared_ptr<platform::ui::ImageView> tipsBackground_;
  std::shared_ptr<HomeBoxButton> button_;
  std::shared_ptr<platform::ui::Button> removeButton_;
  std::shared_ptr<platform::ui::Label> titleLabel_;
};

}  // namespace nvx
