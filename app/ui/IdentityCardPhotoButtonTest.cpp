#include "app/ui/IdentityCardPhotoButton.h"

#include <gtest/gtest.h>

#include "core/shell/AppServices.h"
#include "net/testing/MainApiTestFixture.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/Camera.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::RunLoop;
using platform::media::Camera;
using platform::ui::ControlState;
using platform::ui::Image;
using platform::ui::ImagePickerSourceType;
using platform::ui::Inspector;
using platform::ui::ViewController;

Image photo(int width, int height, uint8_t shade) {
  return *Image::withPixels(width, height, std::vector<uint8_t>(static_cast<size_t>(width * height * 4), shade));
}

class IdentityCardPhotoButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services = std::make_shared<testing::AppWindowServices>();
    AppServices::install(services);
    button = IdentityCardPhotoButton::create(platform::ui::Point{20, 100}, services->screen, std::nullopt);
    button->setTag(7);
    services->screen->view()->addSubview(button);
  }
  void TearDown() override { AppServices::install(nullptr); }

  void settle() { RunLoop::main().advance(ViewController::kTransitionSeconds); }
  bool pickerUp() const { return services->navigation->presentedViewController() == button->imagePickerController(); }

  // The sheet's choices, top to bottom (the cancel button last).
  std::vector<std::string> sheetChoices() {
    EXPECT_TRUE(Inspector().tapControl(*button).isOk());
    auto sheet = Inspector().topSheet();
    std::vector<std::string> titles;
    if (!sheet) return titles;
    for (int i = 0; i < sheet->numberOfButtons(); ++i) titles.push_back(sheet->buttonTitleAtIndex(i));
    return titles;
  }
  void choose(std::string_view title) {
    ASSERT_TRUE(Inspector().tapControl(*button).isOk());
    ASSERT_TRUE(Inspector().chooseInSheet(title).isOk());
  }

  std::shared_ptr<testing::AppWindowServices> services;
  std::shared_ptr<IdentityCardPhotoButton> button;
};

TEST_F(IdentityCardPhotoButtonTest, StartsWithThePlaceholderOrTheGivenPicture) {
  EXPECT_EQ(button->frame(), (platform::ui::Rect{20, 100, 62, 44}));
  ASSERT_TRUE(button->image(ControlState::Normal).has_value());
  EXPECT_EQ(button->image(ControlState::Normal)->name, "add-pic.png");
  EXPECT_FALSE(button->idPic().has_value());
  auto picker = button->imagePickerController();
  ASSERT_NE(picker, nullptr);
  EXPECT_TRUE(picker->allowsEditing());
  EXPECT_EQ(picker->navigationBar()->backgroundColor(), platform::ui::Color::black());

  auto given = IdentityCardPhotoButton::create(platform::ui::Point{0, 0}, services->screen, photo(10, 10, 5));
  EXPECT_EQ(given->image(ControlState::Normal)->pixelWidth(), 10);
}

TEST_F(IdentityCardPhotoButtonTest, SheetChoicesFollowTheVerificationStateAndThePhoto) {
  struct Case {
    int authStatus;
    bool hasPhoto;
    std::vector<std::string> choices;
  };
  const std::vector<Case> cases = {
      {0, false, {"从相册选择", "拍照", "取消"}},
      {2, false, {"从相册选择", "拍照", "取消"}},
      {0, true, {"从相册选择", "拍照", "查看大图", "取消"}},
      {2, true, {"从相册选择", "拍照", "查看大图", "取消"}},
      {1, false, {"查看大图", "取消"}},
      {1, true, {"查看大图", "取消"}},
      {3, true, {"查看大图", "取消"}},
  };
  for (const Case& c : cases) {
    button->setAuthStatus(c.authStatus);
    button->setIdPic(c.hasPhoto ? std::optional<Image>(photo(4, 4, 1)) : std::nullopt);
    EXPECT_EQ(sheetChoices(), c.choices) << "authStatus " << c.authStatus << (c.hasPhoto ? " with" : " without")
                                         << " a photo";
    auto sheet = Inspector().topSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->tag(), 7) << "the sheet takes the sender's tag";
    ASSERT_TRUE(Inspector().chooseInSheet("取消").isOk());
    EXPECT_FALSE(pickerUp());
  }
}

TEST_F(IdentityCardPhotoButtonTest, AlbumPhotoReplacesThePlaceholderAndIsWhatTheLargeViewShows) {
  choose("从相册选择");
  settle();
  ASSERT_TRUE(pickerUp());
  auto picker = button->imagePickerController();
  EXPECT_EQ(picker->sourceType(), ImagePickerSourceType::PhotoLibrary);
  EXPECT_EQ(picker->view()->tag(), 7);
  ASSERT_TRUE(picker->pickImage(photo(40, 25, 77)).isOk());
  ASSERT_TRUE(button->idPic().has_value());
  EXPECT_EQ(button->idPic()->pixelWidth(), 40);
  EXPECT_EQ(button->image(ControlState::Normal)->pixelWidth(), 40) << "the photo replaces the placeholder at once";
  settle();
  EXPECT_FALSE(pickerUp());

  choose("查看大图");
  auto large = button->imageView();
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(large->superview(), services->mainWindow);
  ASSERT_TRUE(large->image().has_value());
  EXPECT_EQ(large->image()->pixelWidth(), 40);
  EXPECT_EQ((*large->image()->pixels)[0], 77);
  EXPECT_TRUE(large->isUserInteractionEnabled());
  EXPECT_TRUE(large->subviews().empty()) << "no tap closes it before it has grown";

  RunLoop::main().advance(IdentityCardPhotoButton::kZoomSeconds);
  EXPECT_EQ(large->frame(), (platform::ui::Rect{0, 20, 320, 548}));
  ASSERT_EQ(large->subviews().size(), 1u);
  EXPECT_EQ(large->subviews()[0]->frame(), (platform::ui::Rect{0, 0, 320, 548}));

  // A tap anywhere on it shrinks it away; a second tap meanwhile changes nothing.
  auto cover = std::dynamic_pointer_cast<platform::ui::Control>(large->subviews()[0]);
  ASSERT_TRUE(Inspector().tapControl(*cover).isOk());
  EXPECT_EQ(button->imageView(), nullptr);
  button->imageViewTouchAction();
  RunLoop::main().advance(IdentityCardPhotoButton::kZoomSeconds);
  EXPECT_EQ(large->superview(), nullptr);
}

TEST_F(IdentityCardPhotoButtonTest, CameraPhotographTakesWhatTheCameraSees) {
  choose("拍照");
  settle();
  ASSERT_TRUE(pickerUp());
  auto picker = button->imagePickerController();
  EXPECT_EQ(picker->sourceType(), ImagePickerSourceType::Camera);
  EXPECT_TRUE(picker->showsCameraControls());
  ASSERT_TRUE(Camera::shared().show(*platform::media::CameraFrame::fromGray(8, 5, std::vector<uint8_t>(40, 33))).isOk());
  ASSERT_TRUE(Inspector().tap("拍照").isOk());
  settle();
  EXPECT_FALSE(pickerUp());
  ASSERT_TRUE(button->idPic().has_value());
  EXPECT_EQ(button->idPic()->pixelWidth(), 8);

  // The same picker serves the album next.
  choose("从相册选择");
  settle();
  EXPECT_TRUE(pickerUp());
  EXPECT_EQ(picker->sourceType(), ImagePickerSourceType::PhotoLibrary);
}

TEST_F(IdentityCardPhotoButtonTest, PhotographWithoutACameraIsIgnored) {
  Camera::shared().setAvailable(false);
  choose("拍照");
  settle();
  EXPECT_FALSE(pickerUp());
  EXPECT_EQ(Inspector().topAlert(), nullptr);
}

TEST_F(IdentityCardPhotoButtonTest, CancelAndNonImagesKeepThePhoto) {
  button->setIdPic(photo(9, 9, 9));
  choose("从相册选择");
  settle();
  ASSERT_TRUE(Inspector().tap("取消").isOk());
  settle();
  EXPECT_FALSE(pickerUp());

  choose("从相册选择");
  settle();
  ASSERT_TRUE(button->imagePickerController()->pickMedia("public.movie").isOk());
  settle();
  EXPECT_FALSE(pickerUp()) << "the picker goes whatever was picked";
  ASSERT_TRUE(button->idPic().has_value());
  EXPECT_EQ(button->idPic()->pixelWidth(), 9);
  EXPECT_EQ(button->image(ControlState::Normal)->name, "add-pic.png");
}

TEST_F(IdentityCardPhotoButtonTest, ViewingWithoutAPhotoShowsThePlaceholder) {
  button->setAuthStatus(1);
  choose("查看大图");
  ASSERT_NE(button->imageView(), nullptr);
  EXPECT_EQ(button->imageView()->image()->name, "add-pic.png");
}

}  // namespace
}  // namespace nvx
