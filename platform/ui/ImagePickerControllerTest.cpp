#include "platform/ui/ImagePickerController.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/media/Camera.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

using media::Camera;
using media::CameraFrame;

class Host : public ViewController {
 public:
  std::string className() const override { return "Host"; }
};

// Records what the picker tells; dismisses it after a pick, as a client does.
class Recorder : public ImagePickerControllerDelegate {
 public:
  void imagePickerControllerDidFinishPickingMediaWithInfo(ImagePickerController& picker, const MediaInfo& info) override {
    picked.push_back(info);
    picker.dismissModal(true);
  }
  std::vector<MediaInfo> picked;
};

class ImagePickerControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = Window::create();
    host = std::make_shared<Host>();
    window->setRootViewController(host);
    window->makeKeyAndVisible();
    picker = ImagePickerController::create();
    recorder = std::make_shared<Recorder>();
    picker->setDelegate(recorder);
  }

  void present() {
    host->presentModal(picker, true);
    RunLoop::main().advance(ViewController::kTransitionSeconds);
  }
  bool presented() const { return host->presentedViewController() == picker; }

  std::shared_ptr<Window> window;
  std::shared_ptr<Host> host;
  std::shared_ptr<ImagePickerController> picker;
  std::shared_ptr<Recorder> recorder;
};

Image photo(int width, int height) {
  return *Image::withPixels(width, height, std::vector<uint8_t>(static_cast<size_t>(width * height * 4), 90));
}

TEST_F(ImagePickerControllerTest, LibraryPickTellsTheImagesByTheirKeys) {
  for (bool editing : {false, true}) {
    picker->setAllowsEditing(editing);
    present();
    EXPECT_NE(Inspector().byText(ImagePickerController::kLibraryTitle), nullptr);
    ASSERT_TRUE(picker->pickImage(photo(40, 30)).isOk());
    RunLoop::main().advance(ViewController::kTransitionSeconds);
    EXPECT_FALSE(presented());
  }
  ASSERT_EQ(recorder->picked.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const MediaInfo& info = recorder->picked[i];
    EXPECT_EQ(info.mediaType(), "public.image");
    ASSERT_TRUE(info.image("UIImagePickerControllerOriginalImage").has_value());
    EXPECT_EQ(info.image(MediaInfo::kOriginalImage)->size.width, 40);
    EXPECT_EQ(info.has("UIImagePickerControllerEditedImage"), i == 1) << "only an editing picker tells an edited image";
  }
}

TEST_F(ImagePickerControllerTest, CancelIsToldOrDismissesThePicker) {
  // A delegate that does not handle Cancel: the picker goes by itself.
  present();
  ASSERT_TRUE(Inspector().tap("取消").isOk());
  RunLoop::main().advance(ViewController::kTransitionSeconds);
  EXPECT_FALSE(presented());
  EXPECT_TRUE(recorder->picked.empty());

  struct Keeps : ImagePickerControllerDelegate {
    void imagePickerControllerDidFinishPickingMediaWithInfo(ImagePickerController&, const MediaInfo&) override {}
    void imagePickerControllerDidCancel(ImagePickerController&) override { ++cancels; }
    int cancels = 0;
  };
  auto keeps = std::make_shared<Keeps>();
  picker->setDelegate(keeps);
  present();
  picker->cancel();
  RunLoop::main().advance(ViewController::kTransitionSeconds);
  EXPECT_EQ(keeps->cancels, 1);
  EXPECT_TRUE(presented()) << "a delegate that handles Cancel decides itself";
}

TEST_F(ImagePickerControllerTest, NothingIsPickedWhileThePickerIsNotShown) {
  EXPECT_FALSE(picker->pickImage(photo(4, 4)).isOk());
  EXPECT_TRUE(recorder->picked.empty());
}

TEST_F(ImagePickerControllerTest, OtherMediaCarryOnlyTheirType) {
  picker->setAllowsEditing(true);
  present();
  ASSERT_TRUE(picker->pickMedia(std::string(MediaInfo::kMovieType)).isOk());
  ASSERT_EQ(recorder->picked.size(), 1u);
  EXPECT_EQ(recorder->picked[0].mediaType(), "public.movie");
  EXPECT_FALSE(recorder->picked[0].image(MediaInfo::kEditedImage).has_value());
  EXPECT_FALSE(recorder->picked[0].image(MediaInfo::kOriginalImage).has_value());
}

TEST_F(ImagePickerControllerTest, CameraSourceNeedsACamera) {
  Camera::shared().setAvailable(false);
  EXPECT_TRUE(ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::PhotoLibrary));
  EXPECT_FALSE(ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera));
  EXPECT_FALSE(picker->setSourceType(ImagePickerSourceType::Camera).isOk());
  EXPECT_EQ(picker->sourceType(), ImagePickerSourceType::PhotoLibrary);

  Camera::shared().setAvailable(true);
  EXPECT_TRUE(ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera));
  EXPECT_TRUE(picker->setSourceType(ImagePickerSourceType::Camera).isOk());
  EXPECT_EQ(picker->sourceType(), ImagePickerSourceType::Camera);
}

TEST_F(ImagePickerControllerTest, ShutterTakesWhatTheCameraSees) {
  ASSERT_TRUE(picker->setSourceType(ImagePickerSourceType::Camera).isOk());
  picker->setAllowsEditing(true);
  present();
  EXPECT_TRUE(picker->isNavigationBarHidden());
  ASSERT_TRUE(Inspector().tap("拍照").isOk());
  EXPECT_TRUE(recorder->picked.empty()) << "nothing seen yet: nothing taken";

  ASSERT_TRUE(Camera::shared().show(*CameraFrame::fromGray(6, 4, std::vector<uint8_t>(24, 200))).isOk());
  ASSERT_TRUE(Inspector().tap("拍照").isOk());
  ASSERT_EQ(recorder->picked.size(), 1u);
  auto edited = recorder->picked[0].image(MediaInfo::kEditedImage);
  ASSERT_TRUE(edited.has_value());
  EXPECT_EQ(edited->pixelWidth(), 6);
  EXPECT_EQ(edited->pixelHeight(), 4);
  ASSERT_TRUE(edited->hasPixels());
  EXPECT_EQ((*edited->pixels)[0], 200);
}

TEST_F(ImagePickerControllerTest, HiddenCameraControlsLeaveNoButtons) {
  ASSERT_TRUE(picker->setSourceType(ImagePickerSourceType::Camera).isOk());
  picker->setShowsCameraControls(false);
  present();
  EXPECT_EQ(Inspector().byText("拍照"), nullptr);
  EXPECT_EQ(Inspector().byText("取消"), nullptr);
}

}  // namespace
}  // namespace platform::ui
