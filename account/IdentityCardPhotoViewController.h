// Taking or choosing the front and back photos of the identity card and uploading them (JPEG at
// quality 0.5), or skipping the step. A photo counts as chosen once its button shows it.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"

namespace nvx {

class IdentityCardPhotoViewController : public NVXViewController,
                                        public platform::ui::ImagePickerControllerDelegate {
 public:
  static constexpr const char* kClassName = "IdentityCardPhotoViewController";
  static constexpr const char* kNoPhoto = "请设置身份证照片";
  static constexpr const char* kUploaded = "身份证照片上传成功";
  static constexpr double kQuality = 0.5;

  static std::shared_ptr<IdentityCardPhotoViewController> create();
  std::string className() const override { return kClassName; }

  void viewDidLoad() override;

  void getIdentityPhoto(platform::ui::Control& sender);
  void completeSettingIdentityCardPhoto();
  void skipSettingIdentityCardPhoto();

  void actionSheetClickedButtonAtIndex(platform::ui::ActionSheet& actionSheet, int index) override;
  void imagePickerControllerDidFinishPickingMediaWithInfo(platform::ui::ImagePickerController& picker,
                                                           const platform::ui::MediaInfo& info) override;
  void imagePickerControllerDidCancel(platform::ui::ImagePickerController& picker) override;

  const std::shared_ptr<platform::ui::Button>& positivePhotoButton() const { return positivePhotoButton_; }
  const std::shared_ptr<platform::ui::Button>& nagativePhotoButton() const { return nagativePhotoButton_; }
  const std::shared_ptr<platform::ui::ImagePickerController>& imagePickerController() const {
    return imagePickerController_;
  }

 private:
  std::shared_ptr<platform::ui::Button> photoButton(platform::ui::Rect frame, int tag);
  // The button's chosen photo (its foreground image), if any.
  static std::optional<platform::ui::Image> photoOf(const platform::ui::Button& button);

  std::shared_ptr<platform::ui::Button> positivePhotoButton_;
  std::shared_ptr<platform::ui::Button> nagativePhotoButton_;
  std::shared_ptr<platform::ui::ImagePickerController> imagePickerController_;
};

}  // namespace nvx
