#include "app/ui/IdentityCardPhotoButton.h"

#include "core/shell/AppServices.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Control.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "IdentityCardPhotoButton";

using platform::Strings;
using platform::ui::ControlState;
using platform::ui::Image;
using platform::ui::ImagePickerController;
using platform::ui::ImagePickerSourceType;
using platform::ui::MediaInfo;
using platform::ui::Rect;

// The frame scaled about its centre (the platform draws nothing, so a zoom is its frame).
Rect scaled(Rect frame, double factor) {
  const double w = frame.width * factor;
  const double h = frame.height * factor;
  return Rect{frame.x + (frame.width - w) / 2, frame.y + (frame.height - h) / 2, w, h};
}

constexpr double kShrunk = 0.001;

}  // namespace

std::shared_ptr<IdentityCardPhotoButton> IdentityCardPhotoButton::create(
    platform::ui::Point origin, std::weak_ptr<platform::ui::ViewController> delegate, std::optional<Image> image) {
  auto button = std::make_shared<IdentityCardPhotoButton>();
  button->initWithOrigin(origin, std::move(delegate), std::move(image));
  return button;
}

void IdentityCardPhotoButton::initWithOrigin(platform::ui::Point origin,
                                             std::weak_ptr<platform::ui::ViewController> delegate,
                                             std::optional<Image> image) {
  delegate_ = std::move(delegate);
  setImage(image ? std::move(image) : Image::named("add-pic.png"), ControlState::Normal);
  setFrame(Rect{origin.x, origin.y, kWidth, kHeight});
  addTarget(this, platform::ui::ControlEvent::TouchUpInside,
            [](platform::ui::Control& sender) { static_cast<IdentityCardPhotoButton&>(sender).action(sender); });
  imagePickerController_ = ImagePickerController::create();
  imagePickerController_->navigationBar()->setBackgroundColor(platform::ui::Color::black());
  imagePickerController_->setDelegate(std::static_pointer_cast<platform::ui::ImagePickerControllerDelegate>(self()));
  imagePickerController_->setAllowsEditing(true);
}

std::shared_ptr<IdentityCardPhotoButton> IdentityCardPhotoButton::self() {
  return std::static_pointer_cast<IdentityCardPhotoButton>(shared_from_this());
}

void IdentityCardPhotoButton::action(platform::ui::Control& sender) {
  std::vector<std::string> choices;
  if (authStatus_ == 0 || authStatus_ == 2) {
    choices.push_back(Strings::localized("Album"));
    choices.push_back(Strings::localized("Photograph"));
    if (idPic_) choices.push_back(Strings::localized("ViewLargerImage"));
  } else {
    choices.push_back(Strings::localized("ViewLargerImage"));
  }
  auto sheet = platform::ui::ActionSheet::create("", Strings::localized("Cancel"), std::nullopt, std::move(choices));
  sheet->setTag(sender.tag());
  sheet->setDelegate(std::static_pointer_cast<platform::ui::ActionSheetDelegate>(self()));
  sheet->showIn(*this);
}

void IdentityCardPhotoButton::actionSheetClickedButtonAtIndex(platform::ui::ActionSheet& actionSheet, int buttonIndex) {
  const std::string title = actionSheet.buttonTitleAtIndex(buttonIndex);
  if (title == Strings::localized("Album")) {
    presentPicker(ImagePickerSourceType::PhotoLibrary, actionSheet.tag());
    imagePickerController_->navigationBar()->setBackgroundColor(platform::ui::Color::black());
  } else if (title == Strings::localized("Photograph")) {
    // No camera: the choice does nothing.
    if (!ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera)) return;
    imagePickerController_->setShowsCameraControls(true);
    presentPicker(ImagePickerSourceType::Camera, actionSheet.tag());
  } else if (title == Strings::localized("ViewLargerImage")) {
    viewLargerImageAction();
  }
}

void IdentityCardPhotoButton::presentPicker(ImagePickerSourceType source, int tag) {
  auto presenter = delegate_.lock();
  if (!presenter) {
    platform::log::warning(kTag, "no screen to show the image picker");
    return;
  }
  if (auto status = imagePickerController_->setSourceType(source); !status) return;
  imagePickerController_->view()->setTag(tag);
  presenter->presentModal(imagePickerController_, true);
}

void IdentityCardPhotoButton::viewLargerImageAction() {
  auto window = AppServices::current().window();
  if (!window) {
    platform::log::warning(kTag, "no window to show the photo on");
    return;
  }
  if (imageView_) imageView_->removeFromSuperview();
  const Rect screen = platform::ui::Screen::bounds();
  const Rect full{0, 20, screen.width, screen.height - 20};
  auto large = platform::ui::ImageView::create(scaled(full, kShrunk));
  large->setImage(image(ControlState::Normal));
  large->setUserInteractionEnabled(true);
  window->addSubview(large);
  imageView_ = large;

  std::weak_ptr<IdentityCardPhotoButton> weakSelf = self();
  std::weak_ptr<platform::ui::ImageView> weakView = large;
  platform::ui::animate(
      kZoomSeconds, [large, full] { large->setFrame(full); },
      [weakSelf, weakView, screen](bool) {
        auto view = weakView.lock();
        auto button = weakSelf.lock();
        if (!view || !button || button->imageView_ != view) return;
        auto cover = std::make_shared<platform::ui::Control>(Rect{0, 0, screen.width, screen.height - 20});
        cover->setBackgroundColor(platform::ui::Color::clear());
        cover->addTarget(button.get(), platform::ui::ControlEvent::TouchUpInside, [weakSelf](platform::ui::Control&) {
          if (auto b = weakSelf.lock()) b->imageViewTouchAction();
        });
        view->addSubview(cover);
      });
}

void IdentityCardPhotoButton::imageViewTouchAction() {
  auto large = imageView_;
  if (!large) return;
  // A second tap while it shrinks finds nothing to do.
  imageView_ = nullptr;
  const Rect shrunk = scaled(large->frame(), kShrunk);
  platform::ui::animate(
      kZoomSeconds, [large, shrunk] { large->setFrame(shrunk); },
      [large](bool) { large->removeFromSuperview(); });
}

void IdentityCardPhotoButton::cancelIdentityCardPhoto() {
  if (auto presenter = delegate_.lock()) {
    presenter->dismissModal(true);
  } else if (imagePickerController_) {
    imagePickerController_->dismissModal(true);
  }
}

void IdentityCardPhotoButton::imagePickerControllerDidFinishPickingMediaWithInfo(ImagePickerController& picker,
                                                                                 const MediaInfo& info) {
  auto keep = self();
  if (info.mediaType() == MediaInfo::kImageType) {
    // An image without an edited picture keeps the photo there was.
    if (auto edited = info.image(MediaInfo::kEditedImage)) {
      idPic_ = std::move(edited);
      setImage(idPic_, ControlState::Normal);
    }
  }
  if (auto presenter = delegate_.lock()) {
    presenter->dismissModal(true);
  } else {
    picker.dismissModal(true);
  }
}

void IdentityCardPhotoButton::imagePickerControllerDidCancel(ImagePickerController&) { cancelIdentityCardPhoto(); }

}  // namespace nvx
