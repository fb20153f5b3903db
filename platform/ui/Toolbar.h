// A bar of items (usually above a keyboard or at the bottom of a screen).
//
// Layout, left to right, inside margins of kMargin points: a custom view keeps its size; a title
// item is a button of the bold system font of 12 points, as wide as its title plus 20 points (at
// least the item's width), 30 points high; a fixed space is its width; items are kGap points
// apart (a space is not separated from its neighbours); flexible spaces share what is left
// equally. Everything is centred vertically. The views stand for the items in order (a title
// item's button runs the item's action on touch-up-inside); spaces have none.
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Color.h"
#include "platform/ui/View.h"

namespace platform::ui {

enum class BarStyle { Default, Black, BlackTranslucent };

class Toolbar : public View {
 public:
  static constexpr double kHeight = 44;
  static constexpr double kMargin = 6;
  static constexpr double kGap = 10;

  explicit Toolbar(Rect frame = {});
  static std::shared_ptr<Toolbar> create(Rect frame = {});

  const std::vector<std::shared_ptr<BarButtonItem>>& items() const { return items_; }
  void setItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool animated = false);
  // The view standing for items()[i] (after layout), or nothing for a space.
  std::shared_ptr<View> viewForItem(size_t i);

  BarStyle barStyle() const { return style_; }
  void setBarStyle(BarStyle style) { style_ = style; }
  bool isTranslucent() const { return translucent_; }
  void setTranslucent(bool on) { translucent_ = on; }
  const std::optional<Color>& tintColor() const { return tint_; }
  void setTintColor(std::optional<Color> c) { tint_ = c; }

  void layoutSubviews() override;
  std::string kind() const override { return "Toolbar"; }

 protected:
  // " style=black|blackTranslucent" unless default.
  void describeExtras(std::string& out) const override;

 private:
  std::vector<std::shared_ptr<BarButtonItem>> items_;
  std::vector<std::shared_ptr<View>> views_;   // one per item, nullptr for spaces
  BarStyle style_ = BarStyle::Default;
  bool translucent_ = false;
  std::optional<Color> tint_;
};

}  // namespace platform::ui
