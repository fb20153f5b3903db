// The identity-card photo screen against the main-API stand-in: a photo chosen from the album is
// uploaded alone as JPEG at quality 0.5, and the screen then returns two places down the stack.
#include <gtest/gtest.h>

#include "account/IdentityCardPhotoViewController.h"
#include "account/testing/AccountStandinFixture.h"
#include "core/session/User.h"
#include "platform/foundation/Strings.h"
#include "platform/media/PictureDecoder.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/NavigationController.h"
#include "standin/MainApiStandin.h"
#include "standin/StandinFixture.h"
#include "standin/mainapi/AccountRoutes.h"

namespace nvx {
namespace {

using Screen = IdentityCardPhotoViewController;

class IdentityCardPhotoTest : public testing::AccountStandinFixture {
 protected:
  void SetUp() override {
    AccountStandinFixture::SetUp();
    logInTestUser();
    for (const char* name : {"First", "Second"}) {
      below.push_back(std::make_shared<testing::NamedTestScreen>(name));
      navigation().push(below.back(), false);
    }
    screen = show(Screen::create());
  }
  // The user picks the picture from the album for the button.
  void pick(platform::ui::Button& button, platform::ui::Image picture) {
    button.sendActions(platform::ui::ControlEvent::TouchUpInside);
    auto sheets = platform::ui::ActionSheet::visible();
    ASSERT_FALSE(sheets.empty());
    sheets.back()->tap(0);  // "Album"
    settle(1);
    ASSERT_TRUE(screen->imagePickerController()->pickImage(std::move(picture)).isOk());
    settle(1);
  }
  std::vector<std::shared_ptr<testing::NamedTestScreen>> below;
  std::shared_ptr<Screen> screen;
};

TEST_F(IdentityCardPhotoTest, OnePhotoIsUploadedAloneAndTheScreenReturnsTwoPlacesDown) {
  screen->completeSettingIdentityCardPhoto();
  EXPECT_EQ(prompt(), Screen::kNoPhoto);
  settle(2);

  std::vector<uint8_t> rgba(100 * 60 * 4, 120);
  pick(*screen->nagativePhotoButton(), *platform::ui::Image::withPixels(100, 60, std::move(rgba)));
  EXPECT_FALSE(screen->positivePhotoButton()->image(platform::ui::ControlState::Normal));
  ASSERT_TRUE(screen->nagativePhotoButton()->image(platform::ui::ControlState::Normal));

  screen->completeSettingIdentityCardPhoto();
  ASSERT_TRUE(await([&] { return prompt() == std::string(Screen::kUploaded); })) << callLog();
  {
    auto lock = server->lock();
    const auto& upload = accounts().uploads[testing::kTestUser];
    EXPECT_TRUE(upload.front.content.empty());
    EXPECT_EQ(upload.back.filename, "nagativeImage");
    auto back = platform::media::PictureDecoder::decode(upload.back.content, 1'000'000);
    ASSERT_TRUE(back.isOk());
    EXPECT_EQ(back->width, 100);
  }
  settle(2.05);
  EXPECT_EQ(top(), screen);  // 0.1 s after the prompt's follow-up
  settle(1);
  EXPECT_EQ(top(), below.front());
}

}  // namespace
}  // namespace nvx
