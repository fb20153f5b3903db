// The spinning wheel. While stopped it is hidden when hidesWhenStopped is on (the default; a new
// indicator is stopped, hence hidden).
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Color.h"
#include "platform/ui/View.h"

namespace platform::ui {

enum class ActivityIndicatorStyle { WhiteLarge, White, Gray };

class ActivityIndicatorView : public View {
 public:
  // The frame takes the style's size at the origin: 37 x 37 large, 20 x 20 otherwise.
  explicit ActivityIndicatorView(ActivityIndicatorStyle style = ActivityIndicatorStyle::White);
  static std::shared_ptr<ActivityIndicatorView> create(ActivityIndicatorStyle style = ActivityIndicatorStyle::White);

  ActivityIndicatorStyle style() const { return style_; }
  void setStyle(ActivityIndicatorStyle style);
  const std::optional<Color>& color() const { return color_; }
  void setColor(std::optional<Color> c) { color_ = c; }
  bool hidesWhenStopped() const { return hidesWhenStopped_; }
  void setHidesWhenStopped(bool on);

  void startAnimating();
  void stopAnimating();
  bool isAnimating() const { return animating_; }

  std::string kind() const override { return "ActivityIndicatorView"; }

 protected:
  void describeExtras(std::string& out) const override;

 private:
  ActivityIndicatorStyle style_;
  std::optional<Color> color_;
  bool hidesWhenStopped_ = true;
  bool animating_ = false;
};

}  // namespace platform::ui
