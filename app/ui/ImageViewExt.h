// Image view factories and effects: stretchable pictures, a mirrored reflection under the view,
// and the frame behind a business-description page.
#pragma once
#include <memory>
#include <optional>
#include <string_view>

#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

namespace nvx {

class ImageViewExt {
 public:
  // A mirrored reflection `height` points tall under the view: the bottom band of its picture
  // (ImageExt::pickBottomImage for the view's size), upside down, fading to black from 35 % of
  // its height down, shown by an image view at (0, view height, view width, height). Nothing
  // without a picture or for a height <= 0.
  static void addReflectEffect(platform::ui::ImageView& view, double height);
  // The view's picture becomes stretchable with the cap on all four sides.
  static void boundsCap(platform::ui::ImageView& view, double cap);

  // An image view showing the picture at the frame.
  static std::shared_ptr<platform::ui::ImageView> imageViewWithFrame(platform::ui::Rect frame,
                                                                     std::optional<platform::ui::Image> image);
  // The same with the bundle picture of that name.
  static std::shared_ptr<platform::ui::ImageView> imageViewWithFrame(platform::ui::Rect frame,
                                                                     std::string_view imageName);
  // The same, the picture stretchable with the cap on all four sides.
  static std::shared_ptr<platform::ui::ImageView> imageViewWithFrame(platform::ui::Rect frame,
                                                                     std::string_view imageName, double cap);
  // An image view of the picture with a reflection of that height.
  static std::shared_ptr<platform::ui::ImageView> imageViewWithFrame(platform::ui::Rect frame,
                                                                     std::optional<platform::ui::Image> image,
                                                                     double reflectWeight);

  // The frame behind a business-description page: "webview_frame_bg" with cap 10 at
  // (10, 50, screen width - 20, screen height - 170).
  static std::shared_ptr<platform::ui::ImageView> businessDescContainerBgView();
};

}  // namespace nvx
