// A picture on screen, or a sequence of pictures played as an animation on the main run loop.
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

namespace platform::ui {

class ImageView : public View {
 public:
  // Image views take no touches (user interaction off), like the platform's.
  explicit ImageView(Rect frame = {});
  static std::shared_ptr<ImageView> create(Rect frame = {});
  // The frame takes the picture's size, at the origin.
  static std::shared_ptr<ImageView> create(std::optional<Image> image);

  const std::optional<Image>& image() const { return image_; }
  void setImage(std::optional<Image> image) { image_ = std::move(image); }

  const std::vector<Image>& animationImages() const { return frames_; }
  void setAnimationImages(std::vector<Image> frames) { frames_ = std::move(frames); }
  // Seconds for one pass; 0 = 1/30 s per picture.
  double animationDuration() const { return duration_; }
  void setAnimationDuration(double seconds) { duration_ = seconds < 0 ? 0 : seconds; }
  // 0 = repeat until stopped.
  int animationRepeatCount() const { return repeatCount_; }
  void setAnimationRepeatCount(int n) { repeatCount_ = n < 0 ? 0 : n; }
  // Plays the animation pictures (nothing without any); with a repeat count it stops by itself
  // after count x duration of run-loop time.
  void startAnimating();
  void stopAnimating();
  bool isAnimating() const { return animating_; }

  std::string kind() const override { return "ImageView"; }

 protected:
  void describeExtras(std::string& out) const override;

 private:
  std::optional<Image> image_;
  std::vector<Image> frames_;
  double duration_ = 0;
  int repeatCount_ = 0;
  bool animating_ = false;
  uint64_t run_ = 0;   // tells a stale end-of-animation call from the current one
};

}  // namespace platform::ui
