// The home profile panel against the main-API stand-in: the save button inside the panel follows
// the check state, a save needs no agreement row, and the panel stays after a save.
#include <gtest/gtest.h>

#include "account/UserInfoView.h"
#include "account/testing/AccountStandinFixture.h"
#include "core/session/User.h"
#include "platform/foundation/Strings.h"
#include "platform/media/PictureEncoder.h"
#include "standin/MainApiStandin.h"
#include "standin/StandinFixture.h"
#include "standin/mainapi/AccountRoutes.h"

namespace nvx {
namespace {

class UserInfoViewTest : public testing::AccountStandinFixture {
 protected:
  void SetUp() override {
    AccountStandinFixture::SetUp();
    logInTestUser();
    home = std::make_shared<testing::NamedTestScreen>("HomeViewController");
    navigation().push(home, false);
  }
  std::shared_ptr<UserInfoView> openPanel(std::string status) {
    {
      auto lock = server->lock();
      std::vector<uint8_t> rgba(40 * 30 * 4, 100);
      accounts().idCardImages["f.jpg"] = platform::media::PictureEncoder::jpeg(40, 30, rgba, 0.9).value();
      accounts().idCardImages["b.jpg"] = accounts().idCardImages["f.jpg"];
      accounts().identities[testing::kTestUser] = {"张三", "11010519491231002X", "zs@example.cn", std::move(status), "",
                                                   {"f.jpg", "b.jpg"}};
    }
    auto panel = UserInfoView::initWithFrame({0, 0, 320, 400});
    home->view()->addSubview(panel);
    panel->initMessage();
    EXPECT_TRUE(await([&] {
      settle(0.2);
      return !spinnerShown() && panel->form()->button1()->idPic();
    })) << callLog();
    return panel;
  }
  std::shared_ptr<testing::NamedTestScreen> home;
};

TEST_F(UserInfoViewTest, TheSaveButtonFollowsTheStateAndASaveLeavesThePanelUnderReview) {
  auto locked = openPanel("PASS");
  EXPECT_TRUE(locked->rightButton()->isHidden());
  EXPECT_EQ(locked->form()->nameField()->text(), "张*");
  EXPECT_EQ(locked->form()->userInfoTableView()->frame().y, 44);
  locked->removeFromSuperview();

  auto panel = openPanel("REJECT");
  ASSERT_FALSE(panel->rightButton()->isHidden());
  EXPECT_EQ(panel->form()->agreementBtn(), nullptr);
  panel->rightButton()->sendActions(platform::ui::ControlEvent::TouchUpInside);
  ASSERT_TRUE(await([&] { return prompt() == platform::Strings::localized("Success_ModifyUserInfo"); })) << callLog();
  settle(2.5);
  EXPECT_TRUE(panel->rightButton()->isHidden());
  EXPECT_FALSE(panel->form()->psView()->isHidden());
  EXPECT_EQ(panel->form()->nameField()->text(), "张*");
  EXPECT_EQ(top(), home);
  auto lock = server->lock();
  EXPECT_EQ(accounts().identities[testing::kTestUser].authStatus, "APPLY");
}

}  // namespace
}  // namespace nvx
