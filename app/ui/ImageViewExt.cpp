#include "app/ui/ImageViewExt.h"

#include "app/ui/ImageExt.h"
#include "app/ui/PixelCanvas.h"
#include "platform/ui/Screen.h"

namespace nvx {

using platform::ui::Image;
using platform::ui::ImageView;
using platform::ui::Rect;
using platform::ui::Size;

namespace {

// Where the reflection's black gradient starts, as a fraction of its height.
constexpr double kFadeFrom = 0.35;

}  // namespace

void ImageViewExt::addReflectEffect(ImageView& view, double height) {
  const auto& picture = view.image();
  if (!picture || !(height > 0)) return;
  Size size = view.frame().size();
  auto band = ImageExt::pickBottomImage(*picture, height, size);
  if (!band) return;
  PixelCanvas canvas = PixelCanvas::of(*band);
  canvas.flipVertically();
  canvas.fadeToBlack(kFadeFrom);
  auto reflection = ImageView::create(Rect{0, size.height, size.width, height});
  reflection->setImage(canvas.image(band->scale));
  view.addSubview(reflection);
}

void ImageViewExt::boundsCap(ImageView& view, double cap) {
  if (const auto& picture = view.image()) view.setImage(ImageExt::boundsCap(*picture, cap));
}

std::shared_ptr<ImageView> ImageViewExt::imageViewWithFrame(Rect frame, std::optional<Image> image) {
  auto view = ImageView::create(frame);
  view->setImage(std::move(image));
  return view;
}

std::shared_ptr<ImageView> ImageViewExt::imageViewWithFrame(Rect frame, std::string_view imageName) {
  return imageViewWithFrame(frame, Image::named(imageName));
}

std::shared_ptr<ImageView> ImageViewExt::imageViewWithFrame(Rect frame, std::string_view imageName, double cap) {
  auto view = imageViewWithFrame(frame, imageName);
  boundsCap(*view, cap);
  return view;
}

std::shared_ptr<ImageView> ImageViewExt::imageViewWithFrame(Rect frame, std::optional<Image> image,
                                                            double reflectWeight) {
  auto view = imageViewWithFrame(frame, std::move(image));
  addReflectEffect(*view, reflectWeight);
  return view;
}

std::shared_ptr<ImageView> ImageViewExt::businessDescContainerBgView() {
  Rect screen = platform::ui::Screen::bounds();
  return imageViewWithFrame(Rect{10, 50, screen.width - 20, screen.height - 170}, "webview_frame_bg", 10);
}

}  // namespace nvx
