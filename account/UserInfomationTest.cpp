// The profile screen against the main-API stand-in: the four check states, the masks, the photos
// and the save (checks, profile update, photo upload).
#include <gtest/gtest.h>

#include "account/IdentityData.h"
#include "account/UserInfomationViewController.h"
#include "account/testing/AccountStandinFixture.h"
#include "core/session/User.h"
#include "core/shell/ScreenRegistry.h"
#include "platform/foundation/Strings.h"
#include "platform/media/PictureDecoder.h"
#include "platform/media/PictureEncoder.h"
#include "platform/ui/NavigationController.h"
#include "standin/MainApiStandin.h"
#include "standin/StandinFixture.h"
#include "standin/mainapi/AccountRoutes.h"

namespace nvx {
namespace {

using platform::Strings;
using standin::MainApiStandin;
using Scripted = MainApiStandin::Scripted;
using Screen = UserInfomationViewController;

constexpr const char* kNumber = "11010519491231002X";

std::string jpegOf(int w, int h) {
  std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4), 90);
  return platform::media::PictureEncoder::jpeg(w, h, rgba, 0.9).value();
}

TEST(IdentityMasks, ShowOnlyTheEdgesOfConfirmedData) {
  const std::pair<std::string, std::string> names[] = {{"", ""}, {"李", "李"}, {"欧阳娜娜", "欧***"}, {"Ann", "A**"}};
  for (const auto& [in, out] : names) EXPECT_EQ(account::handelName(in), out) << in;
  const std::pair<std::string, std::string> numbers[] = {
      {"", ""}, {"1", "1"}, {"12", "1***********2"}, {kNumber, "1***********X"}};
  for (const auto& [in, out] : numbers) EXPECT_EQ(account::handelAccount(in), out) << in;
  EXPECT_EQ(account::handelAccount(kNumber).size(), 13u);
  const std::pair<std::string, std::string> mails[] = {
      {"ab@x.cn", "ab@x.cn"},            // "@" at 2: as it is
      {"abc@x.cn", "abc@x.cn"},          // at 3
      {"abcd@x.cn", "abc****@x.cn"},     // at 4: the fourth character becomes the stars
      {"abcdef@x.cn", "abc****@x.cn"},
      {"no-at-sign", "no-at-sign"},
      {"张三丰李四@x.cn", "张三丰****@x.cn"},
  };
  for (const auto& [in, out] : mails) EXPECT_EQ(account::handelAccountWhere(in), out) << in;
}

TEST(IdentityNameField, SixteenCharactersRefuseAnInsertionButNotAReplacement) {
  const std::string full = "欧阳娜娜欧阳娜娜欧阳娜娜欧阳娜娜";  // 16 characters
  EXPECT_FALSE(account::realNameChangeAllowed(full, {16, 0}, "李"));
  EXPECT_TRUE(account::realNameChangeAllowed(full, {0, 1}, "李"));
  EXPECT_TRUE(account::realNameChangeAllowed("欧阳", {2, 0}, "娜"));
  EXPECT_TRUE(account::realNameChangeAllowed(full, {15, 1}, ""));  // deleting
}

TEST(IdentityUpload, QualityFollowsTheLongerSide) {
  const std::pair<platform::ui::Size, double> cases[] = {
      {{1200, 800}, 0.5}, {{601, 100}, 600.0 / 601}, {{600, 600}, 0.5}, {{300, 900}, 600.0 / 900}, {{20, 10}, 0.5}};
  for (const auto& [size, quality] : cases) {
    platform::ui::Image picture;
    picture.size = size;
    EXPECT_DOUBLE_EQ(Screen::uploadQuality(picture), quality) << size.width << "x" << size.height;
  }
}

class UserInfomationTest : public testing::AccountStandinFixture {
 protected:
  void SetUp() override {
    AccountStandinFixture::SetUp();
    logInTestUser();
  }
  void setIdentity(std::string status, std::string remark, std::vector<std::string> pics = {}) {
    auto lock = server->lock();
    auto& id = accounts().identities[testing::kTestUser];
    id = {"欧阳娜娜", kNumber, "nana@example.cn", std::move(status), std::move(remark), std::move(pics)};
    accounts().idCardImages["f.jpg"] = jpegOf(30, 20);
    accounts().idCardImages["b.jpg"] = jpegOf(20, 30);
    accounts().idCardImages["junk"] = "GIF89a not a photo";
  }
  std::shared_ptr<Screen> openProfile() {
    auto screen = std::dynamic_pointer_cast<Screen>(ScreenRegistry::shared().create(Screen::kClassName));
    EXPECT_TRUE(screen);
    if (!screen) return nullptr;
    navigation().push(screen, false);
    EXPECT_TRUE(await([&] {
      settle(0.2);
      return !spinnerShown();
    })) << callLog();
    settle(0.5);
    inspector().render();
    return screen;
  }
};

TEST_F(UserInfomationTest, EachCheckStateShowsItsLabelLocksAndMasks) {
  struct Case {
    std::string status, remark;
    int state;
    std::string tip;
    bool editable, saveButton, cover, masked;
  };
  const Case cases[] = {
      {"APPLY", "", Screen::kApply, Screen::kApplyText, false, false, true, true},
      {"REJECT", "照片模糊", Screen::kReject, std::string(Screen::kRejectText) + "照片模糊", true, true, false, false},
      {"REJECT", "", Screen::kReject, Screen::kRejectText, true, true, false, false},
      {"PASS", "", Screen::kPass, Screen::kPassText, false, false, true, true},
      {"NONE", "", Screen::kNone, Screen::kNoneText, true, true, false, false},
      {"SOMETHING", "", Screen::kNone, Screen::kNoneText, true, true, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status + "/" + c.remark);
    setIdentity(c.status, c.remark);
    auto screen = openProfile();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->authState(), c.state);
    EXPECT_EQ(screen->tipLabel()->text(), c.tip);
    EXPECT_EQ(screen->nameField()->isEnabled(), c.editable);
    EXPECT_EQ(screen->hasSaveButton(), c.saveButton);
    EXPECT_EQ(!screen->psView()->isHidden(), c.cover);
    EXPECT_EQ(screen->nameField()->text(), c.masked ? "欧***" : "欧阳娜娜");
    EXPECT_EQ(screen->emailField()->text(), c.masked ? "nan****@example.cn" : "nana@example.cn");
    EXPECT_EQ(screen->button()->authStatus(), c.state);
    EXPECT_TRUE(screen->isShowPW());
    navigation().popToRoot(false);
    settle(0.5);
  }
}

TEST_F(UserInfomationTest, PhotosThatAreNoPictureLeaveTheirButtonEmpty) {
  setIdentity("REJECT", "", {"junk", "b.jpg"});
  auto screen = openProfile();
  ASSERT_TRUE(screen);
  EXPECT_FALSE(screen->button()->idPic());
  ASSERT_TRUE(screen->button1()->idPic());
  EXPECT_EQ(screen->button1()->idPic()->pixelHeight(), 30);
  EXPECT_EQ(calls("getUserIdCardImage"), 2u);
  // Without both photos nothing is sent.
  screen->saveUserInfomation();
  EXPECT_EQ(prompt(), Strings::localized("Error_UserIdInsufficiency"));
  EXPECT_EQ(calls("updateUserInfo"), 0u);
}

TEST_F(UserInfomationTest, ARejectedProfileIsCorrectedAndSubmittedAgain) {
  setIdentity("REJECT", "邮箱有误", {"f.jpg", "b.jpg"});
  auto screen = openProfile();
  ASSERT_TRUE(screen);
  ASSERT_TRUE(screen->button()->idPic());
  ASSERT_TRUE(screen->button1()->idPic());

  // The agreement unticked: nothing is sent.
  screen->clickNVXArgeement();
  screen->saveUserInfomation();
  EXPECT_EQ(prompt(), Screen::kAgreementOff);
  screen->clickNVXArgeement();
  settle(2);

  // An e-mail field that merely contains an address is refused.
  screen->emailField()->setText("");
  type(*screen->emailField(), "x nana@example.cn y");
  screen->saveUserInfomation();
  EXPECT_EQ(prompt(), Strings::localized("Error_EnterEmail"));
  EXPECT_EQ(calls("updateUserInfo"), 0u);
  settle(2);

  // Digits of another script pass the number's check (read as 0) but are no number to send.
  const std::string number = screen->identityNumberField()->text();
  screen->identityNumberField()->setText("");
  type(*screen->identityNumberField(), "１１０１０５１９４９１２３１００２1");
  screen->emailField()->setText("");
  type(*screen->emailField(), "new@example.cn");
  screen->saveUserInfomation();
  EXPECT_EQ(prompt(), Strings::localized("Error_EnterId"));
  EXPECT_EQ(calls("updateUserInfo"), 0u);
  settle(2);

  screen->identityNumberField()->setText("");
  type(*screen->identityNumberField(), number);
  screen->saveUserInfomation();
  ASSERT_TRUE(await([&] { return prompt() == std::string(Screen::kSaved); })) << callLog();
  settle(2.5);
  EXPECT_NE(top(), screen);
  auto lock = server->lock();
  const auto& id = accounts().identities[testing::kTestUser];
  EXPECT_EQ(id.email, "new@example.cn");
  EXPECT_EQ(id.authStatus, "APPLY");
  const auto& upload = accounts().uploads[testing::kTestUser];
  auto back = platform::media::PictureDecoder::decode(upload.back.content, 1'000'000);
  ASSERT_TRUE(back.isOk());
  EXPECT_EQ(back->height, 30);
}

TEST_F(UserInfomationTest, AProfileQueryWithoutConnectionLeavesTheScreen) {
  server->script("getUserInfo", Scripted::dropConnection(), 1);
  auto screen = std::dynamic_pointer_cast<Screen>(ScreenRegistry::shared().create(Screen::kClassName));
  navigation().push(screen, false);
  ASSERT_TRUE(await([&] {
    settle(0.1);
    return !spinnerShown();
  }));
  EXPECT_FALSE(screen->hasSaveButton());
  settle(2.5);
  EXPECT_NE(top(), screen);
}

TEST_F(UserInfomationTest, AFailedUpdateKeepsWhatWasTyped) {
  setIdentity("NONE", "", {"f.jpg", "b.jpg"});
  auto screen = openProfile();
  ASSERT_TRUE(screen);
  server->script("updateUserInfo", Scripted::error("5003", "资料格式错误"), 1);
  screen->saveUserInfomation();
  ASSERT_TRUE(await([&] { return prompt() == std::string("资料格式错误"); })) << callLog();
  EXPECT_EQ(calls("idCardImageUpload"), 0u);
  EXPECT_EQ(screen->nameField()->text(), "欧阳娜娜");
  EXPECT_EQ(top(), screen);
}

}  // namespace
}  // namespace nvx
