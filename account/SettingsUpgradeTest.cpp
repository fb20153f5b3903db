// The service-level upgrade against the main-API stand-in, started as the pay screens' card-count
// alert starts it: on a settings object that is never shown.
#include <gtest/gtest.h>

#include "account/SettingListViewController.h"
#include "account/UserInfomationViewController.h"
#include "account/WhiteListViewController.h"
#include "account/testing/AccountStandinFixture.h"
#include "core/session/User.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "standin/MainApiStandin.h"
#include "standin/StandinFixture.h"
#include "standin/mainapi/AccountRoutes.h"

namespace nvx {
namespace {

using platform::Strings;
using platform::ui::AlertView;
using standin::MainApiStandin;
using Scripted = MainApiStandin::Scripted;
using Settings = SettingListViewController;

class SettingsUpgradeTest : public testing::AccountStandinFixture {
 protected:
  void SetUp() override {
    AccountStandinFixture::SetUp();
    logInTestUser();
    root = std::make_shared<testing::NamedTestScreen>("PayScreen");
    navigation().push(root, false);
  }
  void TearDown() override {
    AlertView::dismissAll();
    AccountStandinFixture::TearDown();
  }
  void setStates(std::string auth, std::string upgrade) {
    auto lock = server->lock();
    auto& id = accounts().identities[testing::kTestUser];
    id.realName = "张三";
    id.idCardId = "11010519491231002X";
    id.email = "zs@example.cn";
    id.authStatus = std::move(auth);
    accounts().upgradeStatus[testing::kTestUser] = std::move(upgrade);
  }
  // The entry on an object nobody keeps.
  void startUpgrade() {
    Settings::create()->gotoWhiteList();
    ASSERT_TRUE(await([&] {
      settle(0.1);
      return !spinnerShown() && (alert() || prompt() || top() != root);
    })) << callLog();
    settle(0.5);
  }
  std::shared_ptr<testing::NamedTestScreen> root;
};

TEST_F(SettingsUpgradeTest, TheIdentityStateDecidesBetweenTheAlertAndTheQuery) {
  struct Case {
    std::string auth, upgrade;
    std::optional<std::string> message;  // nothing: the application form
    bool queried;
  };
  const Case cases[] = {
      {"NONE", "", Settings::kIncompleteMessage, false},
      {"REJECT", "PASS", Settings::kIncompleteMessage, false},
      {"", "", Settings::kIncompleteMessage, false},
      {"APPLY", "PASS", Settings::kGranted, true},
      {"PASS", "APPLY", Settings::kWaiting, true},
      {"APPLY", "", std::nullopt, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.auth + "/" + c.upgrade);
    setStates(c.auth, c.upgrade);
    const size_t queries = calls("securityLevelUpQuery");
    startUpgrade();
    EXPECT_EQ(calls("securityLevelUpQuery"), queries + (c.queried ? 1 : 0));
    if (c.message) {
      ASSERT_TRUE(alert());
      EXPECT_EQ(alert()->message(), *c.message);
      EXPECT_EQ(top(), root);
      AlertView::dismissAll();
    } else {
      EXPECT_TRUE(std::dynamic_pointer_cast<WhiteListViewController>(top()));
      navigation().popToRoot(false);
    }
    settle(1);
  }
}

TEST_F(SettingsUpgradeTest, IncompleteDataLeadsToTheProfile) {
  setStates("REJECT", "");
  startUpgrade();
  ASSERT_TRUE(alert());
  EXPECT_EQ(alert()->tag(), Settings::kIncompleteAlertTag);
  alert()->dismissWithClickedButtonIndex(1, false);  // "马上补充"
  settle(1);
  EXPECT_TRUE(std::dynamic_pointer_cast<UserInfomationViewController>(top()));
}

TEST_F(SettingsUpgradeTest, AnApplicationIsSentWithItsReasonAndConfirmed) {
  setStates("PASS", "");
  startUpgrade();
  auto form = std::dynamic_pointer_cast<WhiteListViewController>(top());
  ASSERT_TRUE(form);
  ASSERT_TRUE(await([&] {
    settle(0.1);
    return !spinnerShown();
  }));
  settle(0.5);
  inspector().render();
  EXPECT_FALSE(form->nameField()->isEnabled());
  form->submit();
  EXPECT_EQ(prompt(), WhiteListViewController::kReasonMissing);
  EXPECT_EQ(calls("securityLevelUpApply"), 0u);
  settle(3);
  // Spaces are a reason: sent as typed.
  form->reasonView()->setText("   ");
  tap(WhiteListViewController::kSubmit);
  ASSERT_TRUE(await([&] {
    settle(0.2);
    return std::dynamic_pointer_cast<WhiteResultViewController>(top()) != nullptr;
  })) << callLog();
  {
    auto lock = server->lock();
    EXPECT_EQ(accounts().upgradeReasons[testing::kTestUser], "   ");
    EXPECT_EQ(accounts().upgradeStatus[testing::kTestUser], "APPLY");
  }
  settle(1);
  inspector().render();
  tap(WhiteResultViewController::kDone);
  settle(1);
  EXPECT_EQ(navigation().stack().size(), 1u);  // back at the root screen
}

TEST_F(SettingsUpgradeTest, QueryRepliesOfTheWrongShapeArePrompted) {
  struct Case {
    Scripted reply;
    std::string prompt;
  };
  const Case cases[] = {
      {Scripted::successWithoutData(), Strings::localized("ReturnDataIsNil")},
      {Scripted::success(platform::Json::object({{"status", 3}})), Strings::localized("Error_Data")},
      {Scripted::success(platform::Json::array()), Strings::localized("Error_Data")},
      {Scripted::error("5010", "升级查询失败"), "升级查询失败"},
  };
  setStates("APPLY", "");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.prompt);
    server->clearScripts();
    server->script("securityLevelUpQuery", c.reply, 1);
    startUpgrade();
    EXPECT_EQ(prompt(), c.prompt);
    EXPECT_EQ(top(), root);
    settle(3);
  }
}

}  // namespace
}  // namespace nvx
