// The button of an identity screen that holds a photo of an identity card: a tap offers, in an
// action sheet, to pick the photo from the album, to take it with the camera, or to view it large;
// the chosen photo becomes the button's picture and stays in idPic for the upload.
//
// While the identity is being verified or is verified (authStatus other than 0 and 2), the photo
// can only be viewed. The presenting screen (the delegate, not owned) shows and takes away the
// image picker, which the button makes once and reuses.
#pragma once
#include <memory>
#include <optional>

#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ViewController.h"

namespace nvx {

class IdentityCardPhotoButton : public platform::ui::Button,
                                public platform::ui::ActionSheetDelegate,
                                public platform::ui::ImagePickerControllerDelegate {
 public:
  static constexpr double kWidth = 62;
  static constexpr double kHeight = 44;
  // Seconds the large view takes to grow and to shrink.
  static constexpr double kZoomSeconds = 0.3;

  IdentityCardPhotoButton() = default;
  // A button made with initWithOrigin.
  static std::shared_ptr<IdentityCardPhotoButton> create(platform::ui::Point origin,
                                                         std::weak_ptr<platform::ui::ViewController> delegate,
                                                         std::optional<platform::ui::Image> image);
  // kWidth x kHeight at the origin, showing the image ("add-pic.png" without one), sending
  // action: on a tap; makes the image picker (black bar, editing allowed, the button as delegate).
  void initWithOrigin(platform::ui::Point origin, std::weak_ptr<platform::ui::ViewController> delegate,
                      std::optional<platform::ui::Image> image);

  // The chosen photo (the edited picture); nothing until one is chosen.
  const std::optional<platform::ui::Image>& idPic() const { return idPic_; }
  void setIdPic(std::optional<platform::ui::Image> picture) { idPic_ = std::move(picture); }
  // The identity-verification state the account screens copy in: 0 and 2 allow choosing a photo.
  int authStatus() const { return authStatus_; }
  void setAuthStatus(int status) { authStatus_ = status; }
  std::shared_ptr<platform::ui::ViewController> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<platform::ui::ViewController> delegate) { delegate_ = std::move(delegate); }

  const std::shared_ptr<platform::ui::ImagePickerController>& imagePickerController() const {
    return imagePickerController_;
  }
  // The full-screen view of the photo while it is up.
  const std::shared_ptr<platform::ui::ImageView>& imageView() const { return imageView_; }

  // The tap: the action sheet of the choices, tagged with the sender's tag, shown in the button.
  void action(platform::ui::Control& sender);
  // A choice of the sheet, told by its title.
  void actionSheetClickedButtonAtIndex(platform::ui::ActionSheet& actionSheet, int buttonIndex) override;
  // The button's picture full-screen on the application's window, growing from its centre; a
  // tap on it when it has grown calls imageViewTouchAction.
  void viewLargerImageAction();
  // Shrinks the large view away.
  void imageViewTouchAction();
  // The delegate takes the image picker away.
  void cancelIdentityCardPhoto();

  // A picked image becomes idPic and the button's picture; the picker is taken away either way.
  void imagePickerControllerDidFinishPickingMediaWithInfo(platform::ui::ImagePickerController& picker,
                                                           const platform::ui::MediaInfo& info) override;
  void imagePickerControllerDidCancel(platform::ui::ImagePickerController& picker) override;


 private:
  std::shared_ptr<IdentityCardPhotoButton> self();
  void presentPicker(platform::ui::ImagePickerSourceType source, int tag);

  std::optional<platform::ui::Image> idPic_;
  int authStatus_ = 0;
  std::weak_ptr<platform::ui::ViewController> delegate_;
  std::shared_ptr<platform::ui::ImagePickerController> imagePickerController_;
  std::shared_ptr<platform::ui::ImageView> imageView_;
};

}  // namespace nvx
