// The animated picture of a card being swiped, over an invisible button that reports a touch.
// The ten frames "001.png" to "010.png" play once in 0.6 s, the still picture shows for the
// rest of each second, and the cycle repeats until stopped (or the view goes). The still
// picture is "011.png", or "001.png" after setOneStartImage.
#pragma once
#include <memory>

#include "platform/ui/Button.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/View.h"

namespace nvx {

class SwipeAnimationView;

class SwipeAnimationViewDelegate {
 public:
  virtual ~SwipeAnimationViewDelegate() = default;
  virtual void swipeAnimationViewDidPressed(SwipeAnimationView& view) = 0;
};

class SwipeAnimationView : public platform::ui::View {
 public:
  static constexpr double kRunSeconds = 0.6;
  static constexpr double kCycleSeconds = 1.0;

  explicit SwipeAnimationView(platform::ui::Rect frame) : View(frame) {}
  static std::shared_ptr<SwipeAnimationView> create(platform::ui::Rect frame,
                                                    std::weak_ptr<SwipeAnimationViewDelegate> delegate);

  // Plays the frames once and plays them again every second until stopAnimating.
  void startAnimating();
  // Stops the run and the cycle.
  void stopAnimating();
  bool isAnimating() const;
  // The still picture becomes "001.png".
  void setOneStartImage();
  // The button's action (touch down): tells the delegate.
  void buttonPressed();

  std::shared_ptr<SwipeAnimationViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<SwipeAnimationViewDelegate> delegate) { delegate_ = std::move(delegate); }
  const std::shared_ptr<platform::ui::ImageView>& imageView() const { return imageView_; }
  void setImageView(std::shared_ptr<platform::ui::ImageView> imageView) { imageView_ = std::move(imageView); }
  const std::shared_ptr<platform::ui::Button>& button() const { return button_; }

 private:
  void build();

  std::shared_ptr<platform::ui::ImageView> imageView_;
  std::shared_ptr<platform::ui::Button> button_;
  std::weak_ptr<SwipeAnimationViewDelegate> delegate_;
};

}  // namespace nvx
