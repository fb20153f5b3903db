#include "platform/ui/ImagePickerController.h"

#include "platform/foundation/Log.h"
#include "platform/media/Camera.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"

namespace platform::ui {
namespace {

constexpr std::string_view kTag = "ImagePickerController";

// The picker's first screen: the photo library, or the camera's view with its controls.
class PickerSourceScreen : public ViewController {
 public:
  explicit PickerSourceScreen(std::weak_ptr<ImagePickerController> picker) : picker_(std::move(picker)) {}
  std::string className() const override { return "ImagePickerSourceScreen"; }

  void viewDidLoad() override {
    auto picker = picker_.lock();
    if (!picker) return;
    std::weak_ptr<ImagePickerController> weakPicker = picker_;
    auto cancel = [weakPicker] {
      if (auto p = weakPicker.lock()) p->cancel();
    };
    if (picker->sourceType() != ImagePickerSourceType::Camera) {
      setTitle(ImagePickerController::kLibraryTitle);
      navigationItem().setRightBarButtonItem(
          BarButtonItem::withSystemItem(BarButtonSystemItem::Cancel, [cancel](BarButtonItem&) { cancel(); }));
      return;
    }
    view()->setBackgroundColor(Color::black());
    if (!picker->showsCameraControls()) return;
    Rect b = view()->bounds();
    auto shutter = Button::create(Rect{b.width / 2 - 40, b.height - 70, 80, 60});
    shutter->setTitle(std::string(ImagePickerController::kShutterTitle));
    shutter->addTarget(this, ControlEvent::TouchUpInside, [weakPicker](Control&) {
      if (auto p = weakPicker.lock()) {
        if (auto status = p->takePicture(); !status) log::warning(kTag, status.message());
      }
    });
    view()->addSubview(shutter);
    auto cancelButton = Button::create(Rect{10, b.height - 70, 60, 60});
    cancelButton->setTitle(std::string(ImagePickerController::kCancelTitle));
    cancelButton->addTarget(this, ControlEvent::TouchUpInside, [cancel](Control&) { cancel(); });
    view()->addSubview(cancelButton);
  }

 private:
  std::weak_ptr<ImagePickerController> picker_;
};

}  // namespace

std::string MediaInfo::mediaType() const {
  const std::string* type = get<std::string>(kMediaType);
  return type ? *type : std::string();
}

std::optional<Image> MediaInfo::image(std::string_view key) const {
  const Image* picture = get<Image>(key);
  return picture ? std::optional<Image>(*picture) : std::nullopt;
}

void ImagePickerControllerDelegate::imagePickerControllerDidCancel(ImagePickerController& picker) {
  picker.dismissModal(true);
}

std::shared_ptr<ImagePickerController> ImagePickerController::create() {
  return std::make_shared<ImagePickerController>();
}

bool ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType type) {
  switch (type) {
    case ImagePickerSourceType::PhotoLibrary:
    case ImagePickerSourceType::SavedPhotosAlbum:
      return true;
    case ImagePickerSourceType::Camera:
      return media::Camera::shared().isAvailable();
  }
  return false;
}

void ImagePickerController::loadView() {
  NavigationController::loadView();
  if (stack().empty()) rebuild();
}

void ImagePickerController::rebuild() {
  auto self = std::static_pointer_cast<ImagePickerController>(shared_from_this());
  setNavigationBarHidden(sourceType_ == ImagePickerSourceType::Camera);
  setViewControllers({std::make_shared<PickerSourceScreen>(self)}, false);
}

Status ImagePickerController::setSourceType(ImagePickerSourceType type) {
  if (!isSourceTypeAvailable(type)) {
    log::error(kTag, "source type not available: " + std::to_string(static_cast<int>(type)));
    return Status::error("source type not available");
  }
  if (type == sourceType_) return Status::success();
  sourceType_ = type;
  if (isViewLoaded()) rebuild();
  return Status::success();
}

void ImagePickerController::setShowsCameraControls(bool shows) {
  if (shows == showsCameraControls_) return;
  showsCameraControls_ = shows;
  if (isViewLoaded() && sourceType_ == ImagePickerSourceType::Camera) rebuild();
}

Status ImagePickerController::pickImage(Image image) {
  MediaInfo info;
  info.set(std::string(MediaInfo::kMediaType), std::string(MediaInfo::kImageType));
  info.set(std::string(MediaInfo::kOriginalImage), image);
  if (allowsEditing_) info.set(std::string(MediaInfo::kEditedImage), image);
  return finish(std::move(info));
}

Status ImagePickerController::takePicture() {
  if (sourceType_ != ImagePickerSourceType::Camera) return Status::error("the picker's source is not the camera");
  auto& camera = media::Camera::shared();
  if (!camera.canCapture()) return Status::error("the camera cannot capture");
  const auto& frame = camera.currentFrame();
  if (!frame) return Status::error("the camera has seen nothing yet");
  auto image = Image::withPixels(frame->width, frame->height, frame->rgba);
  if (!image) return Status::error("the camera's frame is not a picture");
  return pickImage(std::move(*image));
}

Status ImagePickerController::pickMedia(std::string mediaType) {
  MediaInfo info;
  info.set(std::string(MediaInfo::kMediaType), std::move(mediaType));
  return finish(std::move(info));
}

Status ImagePickerController::finish(MediaInfo info) {
  if (!isOnScreen()) return Status::error("the picker is not on screen");
  auto keep = shared_from_this();
  if (auto d = delegate_.lock()) d->imagePickerControllerDidFinishPickingMediaWithInfo(*this, info);
  return Status::success();
}

void ImagePickerController::cancel() {
  auto keep = shared_from_this();
  if (auto d = delegate_.lock()) {
    d->imagePickerControllerDidCancel(*this);
  } else {
    dismissModal(true);
  }
}

}  // namespace platform::ui
