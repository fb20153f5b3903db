// What the base screen reads of the payment flow's swipe, swipe-result and multi-pay screens,
// which live in a higher module: the business type (0 to 37) that picks the screen's statistics
// step identifier (and, for the swipe and swipe-result screens, its probe identifier).
#pragma once

namespace nvx {

class BusinessTypeScreen {
 public:
  static constexpr const char* kSwipeClassName = "SwipeViewController";
  static constexpr const char* kSwipeResultClassName = "SwipeResultViewController";
  static constexpr const char* kMultPayClassName = "NVXMultPayViewController";

  virtual ~BusinessTypeScreen() = default;
  virtual int businessType() const = 0;
};

}  // namespace nvx
