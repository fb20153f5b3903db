// The platform's image picker: a navigation controller, presented modally, through which the
// user picks a photo from the photo library or takes one with the camera (platform/media Camera).
//
// Its first screen depends on the source: the library's, titled "照片" with a Cancel item
// ("取消") on the right; or the camera's, with a shutter button ("拍照") and a Cancel button when
// the camera controls are shown. There are no photos on this platform: the simulated user picks
// one by giving the picture (pickImage), or takes the camera's current frame (takePicture).
//
// A picked photo tells the delegate didFinishPickingMediaWithInfo with the media type
// "public.image", the original picture and, when editing is allowed, the edited one (the user
// keeps the whole picture here); the delegate dismisses the picker. Cancel tells the delegate
// didCancel, whose default dismisses the picker, as the platform does for a delegate that does
// not handle it. Main thread only.
#pragma once
#include <any>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Status.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"

namespace platform::ui {

class ImagePickerController;

// The platform's numbering.
enum class ImagePickerSourceType { PhotoLibrary = 0, Camera = 1, SavedPhotosAlbum = 2 };

// What the user picked: entries under the platform's keys (a picture under the image keys, a
// text under the media type key; readers add entries of their own).
class MediaInfo {
 public:
  static constexpr std::string_view kMediaType = "UIImagePickerControllerMediaType";
  static constexpr std::string_view kOriginalImage = "UIImagePickerControllerOriginalImage";
  static constexpr std::string_view kEditedImage = "UIImagePickerControllerEditedImage";
  // Media types.
  static constexpr std::string_view kImageType = "public.image";
  static constexpr std::string_view kMovieType = "public.movie";

  void set(std::string key, std::any value) { entries_[std::move(key)] = std::move(value); }
  bool has(std::string_view key) const { return entries_.find(key) != entries_.end(); }
  // The entry when it holds a T; nullptr for a missing entry or one of another type.
  template <class T>
  const T* get(std::string_view key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : std::any_cast<T>(&it->second);
  }
  // The media type text, or "" when there is none.
  std::string mediaType() const;
  // The picture under key, if any.
  std::optional<Image> image(std::string_view key) const;

 private:
  std::map<std::string, std::any, std::less<>> entries_;
};

class ImagePickerControllerDelegate {
 public:
  virtual ~ImagePickerControllerDelegate() = default;
  virtual void imagePickerControllerDidFinishPickingMediaWithInfo(ImagePickerController& picker,
                                                                   const MediaInfo& info) = 0;
  // Default: the picker dismisses itself.
  virtual void imagePickerControllerDidCancel(ImagePickerController& picker);
};

class ImagePickerController : public NavigationController {
 public:
  static constexpr const char* kLibraryTitle = "照片";
  static constexpr const char* kShutterTitle = "拍照";
  static constexpr const char* kCancelTitle = "取消";

  ImagePickerController() = default;
  static std::shared_ptr<ImagePickerController> create();

  // The photo library always; the camera when the device has one.
  static bool isSourceTypeAvailable(ImagePickerSourceType type);

  std::string className() const override { return "ImagePickerController"; }
  // Builds the first screen for the source.
  void loadView() override;

  ImagePickerSourceType sourceType() const { return sourceType_; }
  // A source that is not available is refused (logged): the source stays as it was. Changing
  // the source rebuilds the first screen.
  Status setSourceType(ImagePickerSourceType type);
  bool allowsEditing() const { return allowsEditing_; }
  void setAllowsEditing(bool allows) { allowsEditing_ = allows; }
  // Camera source only: the shutter and Cancel buttons (default shown).
  bool showsCameraControls() const { return showsCameraControls_; }
  void setShowsCameraControls(bool shows);

  std::shared_ptr<ImagePickerControllerDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<ImagePickerControllerDelegate> delegate) { delegate_ = std::move(delegate); }

  // --- a simulated user ---
  // Picks this photo (library) or takes it as the photograph (camera). An error while the picker
  // is not on screen.
  Status pickImage(Image image);
  // Camera source: takes the camera's current frame. An error without a camera source, a camera
  // that can capture, or a frame.
  Status takePicture();
  // Picks an item of another media type (a video): only the media type is told.
  Status pickMedia(std::string mediaType);
  // A tap on Cancel.
  void cancel();

 private:
  Status finish(MediaInfo info);
  void rebuild();

  ImagePickerSourceType sourceType_ = ImagePickerSourceType::PhotoLibrary;
  bool allowsEditing_ = false;
  bool showsCameraControls_ = true;
  std::weak_ptr<ImagePickerControllerDelegate> delegate_;
};

}  // namespace platform::ui
